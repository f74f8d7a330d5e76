// The main window's printing commands: preview, print and page setup.
#include "app/utessaria.h"
#include "print/prevprinter.h"

namespace tessaria {

void TfrmTessaria::Print1Click(QAction*) {}
void TfrmTessaria::tbPrintClick() {}
void TfrmTessaria::tbPageSetupClick()
{
    PP1->PageSetup();
    UpdatePageGeometry();
}

} // namespace tessaria
