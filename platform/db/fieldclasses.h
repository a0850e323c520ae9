#pragma once
// Which field class stands for which field type: the fields a data set makes from its field
// definitions when it has no persistent fields, and the check that a persistent field fits the
// definition it binds to.

#include "platform/db/dbtypes.h"

class TComponent;
class TField;

// A new field of the class for DataType (TStringField for ftString, TIntegerField for ftInteger,
// ...), owned by Owner; nullptr for a type without a field class.
TField* CreateFieldForType(TFieldType DataType, TComponent* Owner);
// Whether a field of FieldType may bind to a definition of DefType.
bool FieldTypesCompatible(TFieldType FieldType, TFieldType DefType);
