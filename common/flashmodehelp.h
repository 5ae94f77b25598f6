// How to start a board in flash-rewrite mode: a fixed text window of the two editors.
#pragma once

#include "framework/dialog.h"

class CFlashmodeHelpDlg : public fw::CDialog {
public:
    // The template's id differs between the programs (104 in the writer, 105 in the option editor).
    explicit CFlashmodeHelpDlg(UINT templateId) : CDialog(templateId) {}
};
