#pragma once
// The data-set layer's error texts, as the class library words them, and the one way it raises
// them: EDatabaseError, prefixed with the component's name when the component has one
// ("Customers: Field 'Age' not found").

#include <initializer_list>
#include <string>

#include "platform/rtl/exceptions.h"

class TComponent;

inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* SDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* SDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* SDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* SFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* SFieldRequired = "Field '%s' must have a value";
inline constexpr const char* SFieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* SFieldRangeError =
    "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* SInvalidIntegerValue = "'%s' is not a valid integer value for field '%s'";
inline constexpr const char* SInvalidFloatValue = "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char* SInvalidBoolValue = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* SRecordNotFound = "Record not found";
inline constexpr const char* SDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* SFieldTypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* SLookupInfoError = "Lookup information for field '%s' is incomplete";
inline constexpr const char* SFieldNameMissing = "Field name missing";
inline constexpr const char* SDataSetMissing = "Field '%s' has no dataset";
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SDataSourceChange = "DataSource cannot be changed";
inline constexpr const char* SNoFieldDefs = "No fields defined";
inline constexpr const char* SFieldIndexError = "Field index out of range";
inline constexpr const char* SOperationAborted = "Operation aborted";
inline constexpr const char* STextTrue = "True";
inline constexpr const char* STextFalse = "False";

// Replaces each "%s" of Pattern with the next argument.
std::string DBFormat(const char* Pattern, std::initializer_list<std::string> Arguments);

[[noreturn]] void DatabaseError(const std::string& Message, const TComponent* Component = nullptr);
[[noreturn]] void DatabaseErrorFmt(const char* Pattern, std::initializer_list<std::string> Arguments,
                                   const TComponent* Component = nullptr);
