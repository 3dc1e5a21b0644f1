#include "host/app/IfcReportTexts.h"

#include "basekit/BKText.h"
#include "host/resources/HostResources.h"

namespace {

constexpr int16_t kIfcReportList = 204;

std::string Word(int16_t index) { return BKToUtf8(HostListString(kIfcReportList, index)); }

} // namespace

IfcReportWords HostIfcReportWords() {
    IfcReportWords w;
    int16_t i = 1;
    for (std::string* s : {&w.model, &w.revision, &w.element, &w.elements, &w.product, &w.products, &w.leftOut, &w.kept, &w.accepted})
        *s = Word(i++);
    for (std::string& s : w.causes) s = Word(i++);
    for (std::string& s : w.notes) s = Word(i++);
    w.rematched = Word(i++);
    w.ambiguous = Word(i++);
    return w;
}
