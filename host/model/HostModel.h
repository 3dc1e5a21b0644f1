#pragma once
// The building model the host holds: elements, attributes (layers, pens, materials), the
// selection and the undo history. Everything the host operations and the project file touch.
#include "host/model/Element.h"
#include "host/model/UndoHistory.h"
#include "hostapi/HostAttributeRecord.h"

#include <nlohmann/json.hpp>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using AttributeRecord = std::vector<uint8_t>; // 960 bytes

class HostModel {
public:
    HostModel();

    // Elements. The model owns them; pointers stay valid until the model is replaced.
    Element& AddElement(Element element); // assigns an index and identifier when missing
    Element* Find(const API_Guid& guid);
    const Element* Find(const API_Guid& guid) const;
    Element* FindByIndex(int32_t kind, int32_t index);
    Element* FindByIdText(const std::string& cp1250Id);
    std::vector<Element*> ElementsOfKind(int32_t kind);
    int32_t HighestIndex(int32_t kind) const;
    const std::vector<std::unique_ptr<Element>>& Elements() const { return elements_; }

    // Every change of an element or its user data goes through here, so undo sees it.
    void ChangeElement(Element& element, const std::vector<uint8_t>& newRecord);
    void SetUserData(Element& element, const std::string& addon, std::optional<UserDataBlock> block);

    // Attributes, indexed from 1 within their kind.
    int16_t AttributeCount(int32_t kind) const;
    AttributeRecord* Attribute(int32_t kind, int16_t index);
    // Returns the new index; the record's kind and index fields are set.
    int16_t CreateAttribute(int32_t kind, AttributeRecord record, std::vector<uint8_t> extra = {});
    int16_t FindAttributeByName(int32_t kind, const std::string& cp1250Name) const;
    std::string AttributeName(int32_t kind, int16_t index) const;
    const std::vector<uint8_t>* AttributeExtra(int32_t kind, int16_t index) const;
    void SetAttributeExtra(int32_t kind, int16_t index, std::vector<uint8_t> extra);

    std::vector<API_Guid>& Selection() { return selection_; }
    UndoHistory& Undo() { return undo_; }
    bool ApplyUndo(std::string& name);
    bool ApplyRedo(std::string& name);
    std::optional<ElementState> StateOf(const API_Guid& guid) const;

    // Parts of the project file the host keeps but does not interpret.
    nlohmann::json view = nlohmann::json::object();
    nlohmann::json windows = nlohmann::json::object();
    nlohmann::json unknownKeys = nlohmann::json::object();

private:
    void Restore(const std::map<API_Guid, ElementState>& states);

    std::vector<std::unique_ptr<Element>> elements_;
    std::map<API_Guid, Element*> byGuid_;
    std::map<int32_t, std::vector<AttributeRecord>> attributes_;
    std::map<int32_t, std::vector<std::vector<uint8_t>>> attributeExtras_;
    std::vector<API_Guid> selection_;
    UndoHistory undo_;
    uint32_t guidCounter_ = 0;
};

// A fresh attribute record of a kind with its name.
AttributeRecord MakeAttributeRecord(int32_t kind, const std::string& cp1250Name);
