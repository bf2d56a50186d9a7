// String ids of the Columns dialog.
#pragma once

enum ColumnsStringId : unsigned {
    IDS_COLUMNS_FIELD = 1046,         // "Field": the field column's header; also its identifier
    IDS_COLUMNS_HEAD = 1047,          // "Head": the header column's header; also its identifier
    IDS_COLUMNS_VIEWER_NONE = 32833,  // the viewer's refusal of a layout without a visible column
    IDS_COLUMNS_NONE = 59394,         // the editor's refusal of a layout without a visible column
};

// Registers these texts and the range message of the width edit.
void RegisterColumnsStrings();
