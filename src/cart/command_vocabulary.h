#pragma once

namespace molvane {

// The lift limits travel as whole tenths, 0..767. Volts round up once the remainder passes
// 0.05 of a tenth's unit; currents are truncated.
int LiftVoltsToTenths(float volts);
int LiftCurrentToTenths(float amperes);

}  // namespace molvane
