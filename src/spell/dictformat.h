#pragma once
// The layout of the main dictionary file "ZDICT.SPE". The file is read only by the checker;
// the dictionary builder under tools/ writes it. Suffix codes index the two tables below, so
// their order and spelling belong to the file format and must never change.
#include <array>
#include <cstdint>

inline constexpr const char16_t* kMainDictionaryFileName = u"ZDICT.SPE";

inline constexpr int kDictHeaderSize = 5;
inline constexpr int kDictSizesOffset = 5;  // A, B and C, three uint16
inline constexpr int kPrefixTableOffset = 11;
inline constexpr int kPrefixCount = 26 * 26 * 26;                            // 17576 uint16
inline constexpr int kTableAOffset = kPrefixTableOffset + 2 * kPrefixCount;  // 35163
inline constexpr int kMaskCount = 26 * 26;                                   // 676 uint32
// The mask table and block C follow tables A and B; the word data follows block C.
inline constexpr int kFixedTablesSize = kTableAOffset + 4 * kMaskCount;  // 37867

inline constexpr int kTableARowBytes = 28;  // a uint16 base and 26 bytes
inline constexpr int kTableBEntryBytes = 3;
// Prefix values below this name a table-B entry (value - 1); values above it a row of table A.
inline constexpr int kPrefixRowBase = 16384;
inline constexpr int kPrefixRowFirst = 16385;  // value of row 0 in the file

inline constexpr int kWordDataCapacity = 262144;
inline constexpr int kWordDataReadSize = 16384;

inline constexpr int kMaxWordLength = 36;
inline constexpr int kStemCapacity = 36;

// Bytes of a word-data entry.
inline constexpr std::uint8_t kLetterFirst = 1;       // 1..26: a letter, more follow
inline constexpr std::uint8_t kLastLetterFirst = 33;  // 33..58: the last letter
inline constexpr std::uint8_t kReplacingFirst = 65;   // 65..127: replacing suffix
inline constexpr std::uint8_t kAppendedFirst = 129;   // 129..255: appended suffix
inline constexpr std::uint8_t kApostropheBlockEnd = 255;
inline constexpr std::uint32_t kTwoLetterWordBit = 0x80000000u;

inline constexpr int kAppendedSuffixCount = 127;
inline constexpr int kReplacingSuffixCount = 63;

// Appended to the previous plain stem (code 129 + index).
inline constexpr std::array<const char*, kAppendedSuffixCount> kAppendedSuffixes = {
    "ABILITY", "ABLE",     "ABLENESS", "ABLY",     "AGE",     "AL",      "ALLY",      "ANCE",
    "ANCES",   "ANT",      "ANTS",     "ARIES",    "ARY",     "ATE",     "ATED",      "ATES",
    "ATING",   "ATION",    "ATIONS",   "ATIVE",    "D",       "DLY",     "DNESS",     "E",
    "ED",      "EDLY",     "EDNESS",   "EN",       "ENCE",    "ER",      "ERS",       "ES",
    "EST",     "FUL",      "FULLY",    "FULNESS",  "IAL",     "IALLY",   "IAN",       "IANS",
    "IBILITY", "IBLE",     "IC",       "ICAL",     "ICALLY",  "IER",     "IES",       "IEST",
    "ILY",     "INESS",    "ING",      "INGLY",    "INGS",    "ION",     "IONAL",     "IONS",
    "ISATION", "ISATIONS", "ISE",      "ISED",     "ISER",    "ISERS",   "ISES",      "ISH",
    "ISHNESS", "ISING",    "ISM",      "ISMS",     "IST",     "ISTIC",   "ISTICALLY", "ISTS",
    "ITIES",   "ITY",      "IVE",      "IVELY",    "IVENESS", "IZATION", "IZATIONS",  "IZE",
    "IZED",    "IZER",     "IZERS",    "IZES",     "IZING",   "L",       "LED",       "LER",
    "LERS",    "LESS",     "LESSLY",   "LESSNESS", "LINESS",  "LING",    "LY",        "MAN",
    "MEN",     "MENT",     "MENTS",    "N",        "NCE",     "NCES",    "NESS",      "NS",
    "NT",      "OR",       "ORS",      "OUS",      "OUSLY",   "OUSNESS", "PED",       "PING",
    "R",       "RIES",     "RS",       "RY",       "S",       "SHIP",    "SHIPS",     "ST",
    "T",       "TE",       "TED",      "TER",      "TERS",    "TING",    "Y",
};

// Replace the previous plain stem's last letter (code 65 + index).
inline constexpr std::array<const char*, kReplacingSuffixCount> kReplacingSuffixes = {
    "C",   "ES",    "IC",    "ICAL",    "ICALLY",  "IER",     "IES",  "IEST",  "INESS",
    "ING", "INGLY", "ION",   "IONAL",   "IONS",    "ISM",     "IST",  "ISTS",  "ITIES",
    "ITY", "IVE",   "IVELY", "IVENESS", "IZATION", "IZING",   "M",    "N",     "OR",
    "ORS", "ORY",   "OUS",   "OUSLY",   "OUSNESS", "R",       "RED",  "RIES",  "RING",
    "RS",  "S",     "SE",    "SES",     "SM",      "ST",      "STS",  "T",     "TE",
    "TED", "TER",   "TERS",  "TES",     "TIC",     "TICALLY", "TION", "TIONS", "TING",
    "UM",  "UMS",   "US",    "USNOUS",  "Y",       "ZE",      "ZED",  "ZES",   "ZING",
};
