#pragma once
// How patterns match, as a table both the add-on's matcher (code page texts, WildcardPattern) and
// the host's (UTF-8, BKMatchesPattern) are held to: pattern, text (UTF-8), whether it matches.
struct WildcardCase {
    const char* pattern;
    const char* text;
    bool matches;
};

inline constexpr WildcardCase kWildcardCases[] = {
    {"IfcWall*", "IfcWallStandardCase", true},
    {"IfcWall*", "IfcWall", true},
    {"ifcwall", "IFCWALL", true},
    {"IfcWall", "IfcWallStandardCase", false},
    {"*Erdgeschoss*", "Wände Erdgeschoss Nord", true},
    {"*erdgeschoss*", "ERDGESCHOSS", true},
    {"*Erdgeschoss*", "Obergeschoss", false},
    {"Fal-0?", "FAL-07", true},
    {"Fal-0?", "FAL-1", false},
    {"Fal-0?", "FAL-007", false},
    {"?", "", false},
    {"*", "", true},
    {"", "", true},
    {"", "x", false},
    {"a*b*c", "aXXbYYc", true},
    {"a*b*c", "aXXcYYb", false},
    {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", true},
    {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
    {"**x", "abx", true},
    {"Földszint", "FÖLDSZINT", true},
    {"ŐRHÁZ ÚJ", "őrház új", true},
    {"Šťáva", "ŠŤÁVA", true},
    {"?sszes", "Összes", true},
    {"Terepháló (*)", "Terepháló (2)", true},
    {"Terepháló (*)", "Terepháló", false},
};
