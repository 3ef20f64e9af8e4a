// Marks the flat entry points that a shared library exports.
#pragma once

#ifdef __cplusplus
#define QELO_EXTERN_C extern "C"
#else
#define QELO_EXTERN_C
#endif

#define QELO_EXPORT QELO_EXTERN_C __attribute__((visibility("default")))
