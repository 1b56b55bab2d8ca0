#pragma once
// The failure texts of the expression builder and evaluator, as CP932 bytes
// ready for EKestError.

#include <string>
#include <string_view>

namespace kest {

std::string ErrSyntax();
std::string ErrBadArrayIndex();
std::string ErrNoFunction(std::string_view name);
std::string ErrArgCount(std::string_view name);
std::string ErrGetPropArgs();
// The head of the invalid-operation text; the caller appends the operands.
std::string ErrBadOperation(std::string_view resultName, std::string_view opName);
// What ends an evaluation that has no message of its own in the system.
std::string ErrDivisionByZero();
std::string ErrNotFinite();
std::string ErrNestedTooDeep();
std::string ErrNoFunctionBody(int number);
// A number the function table has no row for (20, or one past the table).
std::string ErrNoSuchFunction(int number);
std::string ErrNeedVariable(std::string_view function);

}  // namespace kest
