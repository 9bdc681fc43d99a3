#pragma once
// The vector versions of the span routines of PixelOps.h, one file per
// instruction set (PixelOpsSSE2.cpp, PixelOpsAVX2.cpp). PixelOps.cpp puts
// them into the tables after checking what the machine has; nothing else
// calls them directly.

#include "engine/PixelOps.h"

#if defined(__x86_64__) || defined(__i386__)
#define VELMORA_X86 1

namespace kernels {
void BlendLineSSE2(const TColor32* src, TColor32* dst, int count, uint32_t master);
void BlendLineOnClearSSE2(const TColor32* src, TColor32* dst, int count, uint32_t master);
void MaskAlphaLineSSE2(TColor32* dst, const TColor32* mask, int count);

void BlendLineAVX2(const TColor32* src, TColor32* dst, int count, uint32_t master);
void BlendLineOnClearAVX2(const TColor32* src, TColor32* dst, int count, uint32_t master);
void MaskAlphaLineAVX2(TColor32* dst, const TColor32* mask, int count);
void StretchRowAVX2(const TColor32* r0, const TColor32* r1, const int32_t* x, const uint32_t* fx, uint32_t fy,
                    TColor32* dst, int count, TCombineKind kind, uint32_t master);
void NearestRowAVX2(const TColor32* row, const int32_t* x, TColor32* dst, int count, TCombineKind kind,
                    uint32_t master);
void TransformSpanAVX2(const TTransformSpan& span);
} // namespace kernels
#endif
