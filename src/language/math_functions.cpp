// The number functions: random numbers, conversions, trigonometry in radians,
// absolute values, minimum and maximum. A result that is not a finite number ends the
// evaluation, as a division by zero does.
#include <algorithm>
#include <cmath>
#include <limits>

#include "common/errors.h"
#include "common/program_random.h"
#include "language/builtin_functions.h"
#include "language/expression_errors.h"
#include "language/param_convert.h"
#include "language/sys_func_man.h"

namespace kest {
namespace {

void SetFinite(TFuncCall& c, long double x) {
  if (!std::isfinite(x)) throw EKestError(ErrNotFinite());
  c.Result.SetAsFloat(x);
}

template <long double (*F)(long double)>
void Unary(TFuncCall& c) {
  SetFinite(c, F(c.Float(0)));
}

void IntFn(TFuncCall& c) { c.Result.SetAsInt(FloatToInt(c.Float(0))); }
void FloatFn(TFuncCall& c) { SetFinite(c, c.Float(0)); }
void ArcTan2Fn(TFuncCall& c) { SetFinite(c, std::atan2(c.Float(0), c.Float(1))); }
void HypotFn(TFuncCall& c) { SetFinite(c, std::hypot(c.Float(0), c.Float(1))); }

// The magnitude of the smallest integer does not fit: it saturates at the
// largest one rather than wrapping back to a negative number.
void AbsFn(TFuncCall& c) {
  const int32_t v = c.Int(0);
  if (v == std::numeric_limits<int32_t>::min()) {
    c.Result.SetAsInt(std::numeric_limits<int32_t>::max());
  } else {
    c.Result.SetAsInt(v < 0 ? -v : v);
  }
}

void RandomFn(TFuncCall& c) { c.Result.SetAsInt(ProgramRandom().Next(c.Int(0))); }

void FabsFn(TFuncCall& c) { SetFinite(c, std::fabs(c.Float(0))); }
void MinFn(TFuncCall& c) { c.Result.SetAsInt(std::min(c.Int(0), c.Int(1))); }
void MaxFn(TFuncCall& c) { c.Result.SetAsInt(std::max(c.Int(0), c.Int(1))); }
void FminFn(TFuncCall& c) { SetFinite(c, std::min(c.Float(0), c.Float(1))); }
void FmaxFn(TFuncCall& c) { SetFinite(c, std::max(c.Float(0), c.Float(1))); }

long double Sin(long double x) { return std::sin(x); }
long double Cos(long double x) { return std::cos(x); }
long double Tan(long double x) { return std::tan(x); }
long double ArcSin(long double x) { return std::asin(x); }
long double ArcCos(long double x) { return std::acos(x); }
long double ArcTan(long double x) { return std::atan(x); }

}  // namespace

void RegisterMathFunctions(TSysFuncMan& funcs) {
  funcs.Register(26, RandomFn);
  funcs.Register(37, IntFn);
  funcs.Register(38, FloatFn);
  funcs.Register(39, Unary<Sin>);
  funcs.Register(40, Unary<Cos>);
  funcs.Register(41, Unary<Tan>);
  funcs.Register(42, Unary<ArcSin>);
  funcs.Register(43, Unary<ArcCos>);
  funcs.Register(44, Unary<ArcTan>);
  funcs.Register(45, ArcTan2Fn);
  funcs.Register(46, HypotFn);
  funcs.Register(48, AbsFn);
  funcs.Register(49, FabsFn);
  funcs.Register(126, MinFn);
  funcs.Register(127, MaxFn);
  funcs.Register(128, FminFn);
  funcs.Register(129, FmaxFn);
}

}  // namespace kest
