#pragma once
// The windows created once at start-up, after the main window, in this order:
// options, clipboard, viewer, About, bookmark editor, search, text box
// properties. Each lives until the program ends.

class QWidget;

namespace tessaria {

class TFrmAbout;
class TfrmClipboard;
class TfrmLorvaneOptions;
class TfrmTextBoxProperties;
class TfBMEdit;
class TfSearch;

extern TfrmLorvaneOptions* frmLorvaneOptions;
extern TfrmClipboard* frmClipboard;
extern TFrmAbout* FrmAbout;
extern TfBMEdit* fBMEdit;
extern TfSearch* fSearch;
extern TfrmTextBoxProperties* frmTextBoxProperties;

// Creates the other start-up windows in their order (once).
void CreateStartupForms();
// Frees them again, last first.
void DestroyStartupForms();

TFrmAbout* AboutForm();
// The image viewer window, once it exists.
QWidget* ViewerForm();

} // namespace tessaria
