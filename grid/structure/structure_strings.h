// String ids of the table-structure grid and dialog.
#pragma once

enum StructureStringId : unsigned {
    IDS_STRUCT_FIELD_NAME = 1000,  // "Field name"; also the column's identifier
    IDS_STRUCT_FIELD_TYPE = 1001,
    IDS_STRUCT_WIDTH = 1002,
    IDS_STRUCT_DECIMAL = 1003,
    IDS_STRUCT_NEW_FIELD = 59398,  // "NEWFIELD": the stem of added fields' names
    IDS_STRUCT_NO_FIELDS = 59399,  // refusal to save a structure without fields
};

// Registers these texts and the engine's field-type names.
void RegisterStructureStrings();
