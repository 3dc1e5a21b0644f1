#pragma once
// The add-on's 8-bit texts and platform dates as Qt sees them.
#include "basekit/BKText.h"
#include "basekit/BKTime.h"

#include <QColor>
#include <QDate>
#include <QString>

#include <string>

inline QString FromCodePage(const std::string& cp1250) { return QString::fromStdString(BKToUtf8(cp1250)); }
inline std::string ToCodePage(const QString& text) { return BKFromUtf8(text.toStdString()); }

inline QDate DateOfPlatformTime(int32_t value) {
    BKTimeRecord r;
    BKTimeToRecord(value, 0, r);
    return QDate(r.year, r.month, r.day);
}

// The text DGTakeUserValue reads for a date.
inline std::string IsoDateText(QDate date) { return date.toString(QStringLiteral("yyyy-MM-dd")).toStdString(); }

// Toolkit colours are 0x00BBGGRR.
inline QColor ColorOfToolkit(uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }
