#include "host/storage/TextFileSave.h"

#include "filekit/FKError.h"
#include "filekit/FKFile.h"
#include "filekit/FKReplacementFile.h"

bool SaveTextFile(const std::string& nativePath, std::string_view text, std::string& error) {
    FKReplacementFile file(FKLocation::FromNativePath(nativePath));
    int32_t err = file.Open();
    if (err == kFKNoErr) err = file.Write(text.data(), text.size());
    if (err == kFKNoErr) err = file.Commit();
    if (err != kFKNoErr) {
        error = nativePath + ": cannot be written: " + FKErrorText(err);
        return false;
    }
    return true;
}
