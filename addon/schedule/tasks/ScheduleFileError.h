#pragma once
// The small codes the schedule's file operations report; the command that started them turns a
// failure into one alert.
enum ScheduleFileError : int {
    kScheduleFileOk = 0,
    kScheduleFileOpenFailed = 1,
    kScheduleFileCloseFailed = 2,
    kScheduleFileReadFailed = 3,
    kScheduleFileWriteFailed = 4,
    kScheduleFileBadVersion = 5,
    kScheduleFileBadSignature = 6,
    kScheduleFileBadRecord = 7,
};
