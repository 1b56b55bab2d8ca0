#pragma once
// The families of system function bodies; each registers its numbers with
// the manager.

namespace kest {

class TSysFuncMan;

void RegisterStringFunctions(TSysFuncMan& funcs);
void RegisterMathFunctions(TSysFuncMan& funcs);
// Calc, which compiles and runs expression text.
void RegisterEvalFunctions(TSysFuncMan& funcs);
// DeleteStack, which drops a saved call frame.
void RegisterStackFunctions(TSysFuncMan& funcs);
// The array sizes: GetArraySize and SetArray.
void RegisterArrayFunctions(TSysFuncMan& funcs);
// Dates as day numbers from 1899-12-30: encoding, decoding, the weekday.
void RegisterDateFunctions(TSysFuncMan& funcs);

}  // namespace kest
