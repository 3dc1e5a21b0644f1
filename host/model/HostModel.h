#pragma once
// The building model the host holds: elements, attributes (layers, pens, materials), the
// selection and the undo history. Everything the host operations and the project file touch.
#include "host/model/Element.h"
#include "host/model/IfcModelSource.h"
#include "host/model/ModelRevision.h"
#include "host/model/ModelWorkSchedules.h"
#include "host/model/UndoHistory.h"
#include "host/model/ViewRecords.h"
#include "hostapi/HostAttributeRecord.h"
#include "hostapi/HostGuidMap.h"

#include <map>
#include <set>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <optional>
#include <string>
#include <vector>

using AttributeRecord = std::vector<uint8_t>; // 960 bytes

// The layer a new project starts with, and where elements go that bring no layer of their own.
inline constexpr const char* kHostDefaultLayer = "Alap";

class HostModel {
public:
    HostModel();

    // Elements. The model owns them; pointers stay valid until the model is replaced.
    // The model is indexed: by identifier and by (kind, index) in constant time, per kind in
    // index order (elements of one index in the order they were added), with each kind's
    // highest index kept as elements come. The kind and index of an element are its identity:
    // they are set before it is added and change only through ChangeElement or undo, which
    // index it again.
    Element& AddElement(Element element); // assigns an index and identifier when missing
    Element* Find(const API_Guid& guid);
    const Element* Find(const API_Guid& guid) const;
    Element* FindByIndex(int32_t kind, int32_t index); // the first added with that index
    Element* FindByIdText(const std::string& cp1250Id); // a scan: ID texts are the user's to change
    std::vector<Element*> ElementsOfKind(int32_t kind) const { return OfKind(kind); }
    const std::vector<Element*>& OfKind(int32_t kind) const;
    int32_t HighestIndex(int32_t kind) const;
    const std::vector<std::unique_ptr<Element>>& Elements() const { return elements_; }
    void Reserve(size_t elements);
    // Read-ahead for walks: once a kind's list is handed out, callers mostly visit its elements
    // in list order. Noting each visit lets the model ask for the memory of the elements that
    // come next, so a walk over a model far larger than the cache does not wait on every one.
    void StartWalk(int32_t kind);
    void NoteVisit(const Element* e);
    // Find for a caller that may be walking: the element the walk is at is recognised by its
    // identifier without the hash probe (in a large model a cache miss), and the visit noted.
    Element* FindOnWalk(const API_Guid& guid);
    // Takes these elements out of the model and the selection; returns how many there were.
    // Their pointers die; undo steps that kept them can no longer bring them back.
    size_t RemoveElements(const std::unordered_set<API_Guid, API_GuidHash>& guids);
    // The element is known by another identifier from now on (its file issued it a new one),
    // keeping all else; the selection follows it. False, and nothing changes, when another element
    // has that identifier or it is null. An open undo step keeps the old one.
    bool ChangeGuid(Element& element, const API_Guid& guid);

    // Every change of an element or its user data goes through here, so undo sees it.
    void ChangeElement(Element& element, const std::vector<uint8_t>& newRecord);
    void SetUserData(Element& element, const std::string& addon, std::optional<UserDataBlock> block);
    // Kept by the open undo step like the element's record.
    void SetLook(Element& element, std::optional<LookOverride> look);
    void SetGeometry(Element& element, Geometry geometry);
    // Facts change with the element kept whole by an open undo step, as a new shape does.
    void SetFacts(Element& element, std::vector<ElementFact> facts);
    // Closes the open undo step, keeping what the elements it changed are now.
    std::optional<std::string> CloseUndoStep();

    // Attributes, indexed from 1 within their kind.
    int16_t AttributeCount(int32_t kind) const;
    AttributeRecord* Attribute(int32_t kind, int16_t index);
    // Returns the new index; the record's kind and index fields are set.
    int16_t CreateAttribute(int32_t kind, AttributeRecord record, std::vector<uint8_t> extra = {});
    int16_t FindAttributeByName(int32_t kind, const std::string& cp1250Name) const;
    std::string AttributeName(int32_t kind, int16_t index) const;
    const std::vector<uint8_t>* AttributeExtra(int32_t kind, int16_t index) const;
    void SetAttributeExtra(int32_t kind, int16_t index, std::vector<uint8_t> extra);
    // Attributes an add-on made in this session (the looks it paints with), as against the
    // model's own; the project file does not keep the mark.
    void MarkAddonAttribute(int32_t kind, int16_t index) { addonAttributes_.insert({kind, index}); }
    bool IsAddonAttribute(int32_t kind, int16_t index) const { return addonAttributes_.count({kind, index}) != 0; }

    // Whether the project differs from what was last opened or saved. Changes made in undo
    // steps are followed through the history, so undoing back to the saved state is clean again;
    // element changes outside a step count until the next save, and so do changes of parts the
    // model does not follow (project data), which their callers tell with MarkModified.
    // Attributes are compared with what they were.
    bool Modified() const {
        return untracked_ || undo_.Position() != savedPosition_ || AttributesDigest() != savedAttributes_;
    }
    void MarkModified() { untracked_ = true; }
    void MarkSaved();
    // A copy of everything the project file keeps, for saving on another thread while this one
    // goes on changing; no selection, no undo history, no walk.
    std::unique_ptr<HostModel> SnapshotForSaving() const;

    // Blocks add-ons keep for the whole project, by add-on name. They travel with the project
    // file and stand outside the undo history: a change marks the project modified.
    const UserDataBlock* ProjectData(const std::string& addon) const;
    const std::map<std::string, UserDataBlock>& AllProjectData() const { return projectData_; }
    void SetProjectData(const std::string& addon, std::optional<UserDataBlock> block);

    std::vector<API_Guid>& Selection() { return selection_; }
    UndoHistory& Undo() { return undo_; }
    const UndoHistory& Undo() const { return undo_; }
    bool ApplyUndo(std::string& name);
    // Before the list of building models changes in an open undo step, so undo and redo take the
    // list (and the first model's layers and schedule) back with the elements.
    void NoteModelsChange();
    bool ApplyRedo(std::string& name);
    std::optional<ElementState> StateOf(const API_Guid& guid) const;

    // The texts every element's facts are numbers of.
    FactTexts& Facts() { return facts_; }
    const FactTexts& Facts() const { return facts_; }
    // An element's facts as texts (UTF-8), key and value, in order.
    std::vector<std::pair<std::string_view, std::string_view>> FactsOf(const Element& element) const;
    // The name of the building model the element came from where the project holds several (its
    // "model" fact); empty otherwise.
    std::string_view ModelOf(const Element& element) const;

    HostView view;

    // The second 3D window: open or not. Closing it forgets every element's second look
    // (Element::second), so a model with it closed draws and keeps nothing of it.
    bool SecondViewOpen() const { return secondViewOpen_; }
    void SetSecondViewOpen(bool open);
    HostWindows windows;
    StoredKeys unknownKeys;
    // The elements a building model brings go on their storey's layer, as the user chose when
    // opening it; a later revision's new elements follow the same choice.
    bool layersByStorey = false;
    // The construction schedule the building model's IFC file carries, from its last opening or
    // revision; empty for a model from elsewhere. Saved with the project (its "ifcschedule").
    ModelWorkSchedules workSchedules;
    // What the last revision did to the elements.
    ModelRevision lastRevision;
    // The building models the project holds, the one it was opened from first; saved only when
    // there are several.
    std::vector<IfcModelSource> ifcModels;

private:
    std::shared_ptr<const UndoHistory::Models> ModelsNow() const;
    void RestoreModels(const std::shared_ptr<const UndoHistory::Models>& models);
    bool secondViewOpen_ = false;
    void Restore(const std::map<API_Guid, ElementState>& states);
    void RestoreWhole(const std::map<API_Guid, UndoHistory::Whole>& states);
    void DropElements(const std::unordered_set<API_Guid, API_GuidHash>& guids);
    void NoteChange(const Element& element);
    // Before an element comes, goes or changes shape.
    void NoteWholeChange(const API_Guid& guid, const Element* now);
    static uint64_t IndexKey(int32_t kind, int32_t index) {
        return static_cast<uint64_t>(static_cast<uint32_t>(kind)) << 32 | static_cast<uint32_t>(index);
    }
    void IndexElement(Element* e);
    void UnindexElement(Element* e, int32_t kind, int32_t index);
    // After a record replaced an element's whole record: indexes it again if its identity moved.
    void Reindex(Element* e, int32_t oldKind, int32_t oldIndex);

    std::vector<std::unique_ptr<Element>> elements_;
    GuidMap<Element*> byGuid_;
    std::unordered_map<uint64_t, Element*> byIndex_;
    struct KindList {
        std::vector<Element*> elements; // in index order
        int32_t highest = 0;
    };
    std::map<int32_t, KindList> kinds_;
    struct Walk {
        const KindList* list = nullptr;
        size_t next = 0; // the position the walk visits next
    } walk_;
    std::map<int32_t, std::vector<AttributeRecord>> attributes_;
    std::map<int32_t, std::vector<std::vector<uint8_t>>> attributeExtras_;
    std::set<std::pair<int32_t, int16_t>> addonAttributes_;
    std::vector<API_Guid> selection_;
    std::map<std::string, UserDataBlock> projectData_;
    FactTexts facts_;
    UndoHistory undo_;
    uint64_t AttributesDigest() const;

    uint32_t guidCounter_ = 0;
    bool untracked_ = false;
    uint64_t savedPosition_ = 0, savedAttributes_ = 0;
};

// A fresh attribute record of a kind with its name.
AttributeRecord MakeAttributeRecord(int32_t kind, const std::string& cp1250Name);
