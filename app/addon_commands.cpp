// The main window's hidden add-on buttons: Language (codepage files), BitTorrent
// and the desktop widget. Their flows live in addons/; these handlers only check
// the selection, start a flow and refresh the panels after it.
#include "app/main_dialog.h"

// The add-on flows are not built yet: until they are, the buttons (which the
// window never shows) do nothing.
void MainDialog::OnLanguage() {}
void MainDialog::OnBitTorrent() {}
void MainDialog::OnLaunchWidget() {}
