// The main window's document commands: new, open and save.
#include "app/utessaria.h"

namespace tessaria {

void TfrmTessaria::New1Click() {}
void TfrmTessaria::Open1Click() {}
void TfrmTessaria::NewSaveRoutine() {}

} // namespace tessaria
