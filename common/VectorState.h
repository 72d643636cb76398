#pragma once

namespace velkaro {

// Qt's string routines leave the upper halves of the AVX registers in use, and the C library's
// AVX-512 routines never clear them. Until something does, every SSE instruction of a driver pays
// for merging them: psqlODBC read a 1,000,000-row table 75 % slower. Called before each call into
// a driver; it costs one instruction, and nothing on a processor without AVX.
void ClearUpperVectorState();

} // namespace velkaro
