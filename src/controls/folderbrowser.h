#pragma once
// The folder browser where the manager chooses a folder (the shared folders of a school
// network): Qt's own folder dialog, opened on the folder set now, also when that is stored in
// the program's symbolic form ("Documents/...", "Pictures", ...), with the path of the
// highlighted folder shown as its status text. It runs through the dialog runner, so tests
// play the user.
#include <QString>

class QFileDialog;
class QWidget;

namespace zeph {

// Browse flags the callers pass; kept for them, the dialog always answers real folders.
inline constexpr unsigned kBifReturnOnlyFsDirs = 0x0001;
inline constexpr unsigned kBifNewDialogStyle = 0x0040;

// The folder the browser answered last; empty after a cancel or a failure.
extern QString g_browsedFolder;

// Shows the browser and answers the chosen folder, or an empty text when the user cancelled
// or nothing usable was chosen. initialFolder: the folder to open on (plain or symbolic),
// empty for none; startAtNetwork: open on the network folders when the system has them.
QString BrowseForFolder(QWidget* owner, const QString& title, unsigned flags,
                        const QString& initialFolder, int startAtNetwork);

// What the browser does as it opens (select the initial folder) and as the highlight moves
// (status text: the highlighted folder's path). Always answers 0.
int BrowseCallback(QFileDialog& browser, int event, const QString& value);
inline constexpr int kBrowseInitialised = 1;
inline constexpr int kBrowseSelectionChanged = 2;

// The folder of a symbolic kind (1 documents, 2 music, 3 pictures) followed by rest: that
// sub-folder when it exists, else the special folder itself; empty for another kind or a
// special folder the system does not have.
QString MakeSpecialFolderPath(int kind, const QString& rest);

// Where network shares appear on this system (the desktop's mounted network places); empty
// when there is none.
QString GetNetworkFolder();

// The status text control of a browser made by BrowseForFolder. For tests.
QString GetBrowserStatusText(const QFileDialog& browser);

// Back to the start values. For tests.
void ResetFolderBrowserState();

}  // namespace zeph
