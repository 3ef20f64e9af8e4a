// The instruction-set forms the effects come in, which of them this
// processor can run, and the one in use.
//
// The scalar form is the per-pixel rule of each effect, kept as the
// reference the faster forms are tested against; the plain form is portable
// code the compiler vectorises for the baseline processor; the AVX2 and
// AVX-512 forms are chosen at run time where the processor has them.
#pragma once

namespace qelo::effect {

enum class Form { kScalar = 0, kPlain = 1, kAvx2 = 2, kAvx512 = 3 };

constexpr Form kAllForms[] = {Form::kScalar, Form::kPlain, Form::kAvx2, Form::kAvx512};

const char* FormName(Form form);
bool FormAvailable(Form form);
// The fastest form this processor runs.
Form BestForm();
// The forced form when one is set, else the best one.
Form ActiveForm();
// Makes every later effect use `form` (tests and benchmarks compare the
// forms so); false, and nothing changes, when the processor lacks it.
bool ForceForm(Form form);
void StopForcingForm();

}  // namespace qelo::effect
