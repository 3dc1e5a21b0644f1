#pragma once
// The add-on's alerts, by the resource id each is stored under.
#include <cstdint>

constexpr int16_t kAlertFinishBeforeStart = 32503;
constexpr int16_t kAlertNoProjectOpen = 32504;
constexpr int16_t kAlertCannotLoad = 32506;
constexpr int16_t kAlertUnknownElementKind = 32507;
constexpr int16_t kAlertLinkSelection = 32509;
constexpr int16_t kAlertUnlinkSelection = 32510;
constexpr int16_t kAlertDeleteTask = 32511;
constexpr int16_t kAlertSaveBeforeClosing = 32514;
constexpr int16_t kAlertSaveChanges = 32515;
constexpr int16_t kAlertUnknownDateOrder = 32518;
constexpr int16_t kAlertUnknownFormat = 32519;
constexpr int16_t kAlertSaveFailed = 32520;
constexpr int16_t kAlertLoadFailed = 32521;
constexpr int16_t kAlertLinkedTaskMissing = 32522;
constexpr int16_t kAlertMovieMade = 32524;
constexpr int16_t kAlertMovieFailed = 32525;
constexpr int16_t kAlertInternalError = 32527;
constexpr int16_t kAlertErrorsReported = 32528;
constexpr int16_t kAlertTooManyLinks = 32530;
constexpr int16_t kAlertAlreadyLinked = 32531;
constexpr int16_t kAlertNoUserDataSlot = 32532;
constexpr int16_t kAlertDemoMode = 32533;
constexpr int16_t kAlertScheduleMissing = 32534;
constexpr int16_t kAlertKeptRules = 32540;
constexpr int16_t kAlertRulesRefused = 32541;
constexpr int16_t kAlertLinkFileRefused = 32542;
constexpr int16_t kAlertP6Refused = 32543;
constexpr int16_t kAlertProfilesRefused = 32544;
constexpr int16_t kAlertProfileName = 32545;
constexpr int16_t kAlertProfileInUse = 32546;
constexpr int16_t kAlertProfileOfType = 32547;
constexpr int16_t kAlertUpdatePlan = 32548;
constexpr int16_t kAlertWebPageFailed = 32549;
