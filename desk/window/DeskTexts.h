#pragma once
// The desktop's own texts, from the host's resources in the language the host speaks: the menus
// with their mnemonics, the docks, the status line, the file dialogs.
#include <QString>

#include <cstdint>

struct DeskText {
    int16_t list, index;
};

namespace DeskTexts {
// The menus (string list 200); "&" marks an item's mnemonic.
inline constexpr DeskText kProjectMenu{200, 1}, kNew{200, 2}, kOpen{200, 3}, kOpenIfc{200, 4},
    kUpdateFromIfc{200, 5}, kSave{200, 6}, kSaveAs{200, 7}, kQuit{200, 8};
inline constexpr DeskText kEditMenu{200, 9}, kUndo{200, 10}, kRedo{200, 11}, kSelectNone{200, 12};
inline constexpr DeskText kViewMenu{200, 13}, kZoomIn{200, 14}, kZoomOut{200, 15}, kOrbitLeft{200, 16},
    kOrbitRight{200, 17}, kFitAll{200, 18}, kFitSelection{200, 19}, kStandardViews{200, 20}, kTopView{200, 21},
    kFrontView{200, 22}, kBackView{200, 23}, kLeftView{200, 24}, kRightView{200, 25}, kIsometricView{200, 26},
    kParallel{200, 27}, kRefresh{200, 28};
// The window menu's items are the docks' titles.
inline constexpr DeskText kWindowMenu{200, 29}, kReport{200, 30}, kLayers{200, 31}, kSelectedElement{200, 32},
    kPhotoWindow{200, 33}, kFindElements{200, 34};
// Federated models: the project menu's item, the add's messages and dialog texts.
inline constexpr DeskText kAddIfcModel{200, 35}, kRemoveIfcModel{200, 36}, kCannotAdd{201, 23}, kAdded{201, 24},
    kAddIfcTitle{202, 8}, kModelName{202, 9}, kRevisedModel{202, 10}, kRemovedModel{202, 11};
// The second 3D window: the schedule's other view beside the first, with its camera.
inline constexpr DeskText kSecondView{200, 37};
// Panels and the status line (list 201); %1 is filled in.
inline constexpr DeskText kLayerColumn{201, 1}, kShownColumn{201, 2}, kUnlockedColumn{201, 3}, kReady{201, 4},
    kElementsSelected{201, 5}, kOpened{201, 6}, kSaved{201, 7}, kUpdatedFrom{201, 8}, kNothingToUndo{201, 9},
    kUndone{201, 10}, kNothingToRedo{201, 11}, kRedone{201, 12};
// The Find elements dock (list 201 on).
inline constexpr DeskText kAddCondition{201, 13}, kFindSelect{201, 14}, kIsolate{201, 15}, kShowAll{201, 16},
    kZoomTo{201, 17}, kChooseWhat{201, 18}, kElementsFound{201, 19};
// What failed, over the host's own account of why (list 201 on); %1 is the file.
inline constexpr DeskText kCannotOpen{201, 20}, kCannotSave{201, 21}, kCannotUpdate{201, 22};
// File dialogs (list 202).
inline constexpr DeskText kOpenProjectTitle{202, 1}, kProjectFilter{202, 2}, kOpenIfcTitle{202, 3}, kIfcFilter{202, 4},
    kUpdateFromIfcTitle{202, 5}, kSaveProjectTitle{202, 6}, kLayersByStorey{202, 7};
// The selected-element dock (list 203).
inline constexpr DeskText kElementColumn{203, 1}, kValueColumn{203, 2}, kClassFact{203, 3}, kTypeFact{203, 4},
    kNameFact{203, 5}, kTagFact{203, 6}, kDescriptionFact{203, 7}, kGlobalIdFact{203, 8}, kStoreyFact{203, 9},
    kMaterialsFact{203, 10}, kClassificationFact{203, 11}, kLockedMark{203, 12}, kNothingSelected{203, 13};
} // namespace DeskTexts

QString Text(DeskText text);
// The text without its mnemonic mark, as a title shows it.
QString PlainText(DeskText text);
