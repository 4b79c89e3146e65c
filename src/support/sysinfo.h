#pragma once
// Facts about the system the program runs on, found once at start-up and read-only afterwards:
// the system class that chooses fonts, folder names and network-path handling, a readable
// description for glitch reports and the system-information page, and the four-character
// system code sent with an error report. This system is not Windows, so it takes the class of
// "any other platform": the newest class, kind 0, described by its distribution and kernel.
#include <QString>
#include <cstdint>

// 0 old Windows, 1 NT 5.x, 2 Vista and later and any other platform (always 2 here).
extern std::int32_t g_osClass;
// The same value, kept for the controls.
extern std::int32_t g_uiOsClass;
// 1 when g_osClass is 2.
extern std::int32_t g_isVistaOrLater;
// The system reports itself as a server; a Linux system reports no product type and counts
// as a workstation.
extern std::uint8_t g_isServer;
// 1 for a 32-bit system, 2 for a 64-bit one, 0 while it is not known.
extern std::int32_t g_windowsBitness;
// The distribution's name, then " [", the kernel's name and release, and "]", such as
// "Debian GNU/Linux 12 (bookworm) [Linux 6.1.0-18-amd64]".
extern QString g_machineDescription;
// "0" (a workstation; "1" a server), a letter for the kernel's major and one for its minor
// version number, and the digit of the service pack (0 here): letters and digits only.
extern QString g_systemCode;

// Start-up only, before anything reads the values above. Also checks the help-topic table.
void DetectWindowsVersion();
// At shut-down: frees the support library's global buffers (the log's rings and strings).
void FreeSupportResources();

// The system code for a server or workstation with a version and service-pack number: the
// numbers 0..25 give 'a'..'z', 26..51 'A'..'Z', larger ones 'Z' and negative ones 'a'; the
// service pack gives one digit, limited to 0..9.
QString MakeSystemCode(bool server, int major, int minor, int servicePack);
// The bitness of a processor architecture as the kernel names it ("x86_64", "i686",
// "aarch64" ...): 2 for a 64-bit architecture, 1 for a 32-bit one, 0 when not known.
std::int32_t BitnessOfMachine(const QString& machine);
// name, followed by " [", detail and "]" when detail is not empty.
QString FormatMachineDescription(const QString& name, const QString& detail);

// Puts the values above back as before DetectWindowsVersion. For tests.
void ResetSystemInfo();
