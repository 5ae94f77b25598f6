// The writer's files: a *.tpi file holds one 128-byte record, exactly as a board's slot
// holds it. Opening and saving are the editors' shared file commands.
#include "piwriter/piwritedlg.h"

bool CVarnPIWriteDlg::BuildFileImage(FileImage& image) {
    return BuildRecord(image);
}

void CVarnPIWriteDlg::ShowFileImage(const FileImage& image) {
    LoadRecordIntoEditor(image.data());
}
