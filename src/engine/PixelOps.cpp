#include "engine/PixelOps.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/PixelKernels.h"

bool ScalarForced() {
    static const bool forced = [] {
        const char* v = std::getenv("VELMORA_SCALAR");
        return v && *v && std::strcmp(v, "0") != 0;
    }();
    return forced;
}

// ---- Blend spans ----

void BlendLineScalar(const TColor32* src, TColor32* dst, int count, uint32_t master) {
    if (master == 0) return;
    for (int i = 0; i < count; ++i) dst[i] = BlendPixel(src[i], dst[i], master);
}

namespace {
void BlendLineOnClearScalar(const TColor32* src, TColor32* dst, int count, uint32_t master) {
    for (int i = 0; i < count; ++i) dst[i] = BlendPixel(src[i], 0, master);
}

bool HasAVX2() {
#ifdef VELMORA_X86
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

void MaskAlphaLineScalar(TColor32* dst, const TColor32* mask, int count) {
    for (int i = 0; i < count; ++i) dst[i] = MaskPixelAlpha(dst[i], mask[i]);
}

const TPixelOps kScalar{BlendLineScalar, BlendLineOnClearScalar, MaskAlphaLineScalar, "scalar"};
#ifdef VELMORA_X86
const TPixelOps kSSE2{kernels::BlendLineSSE2, kernels::BlendLineOnClearSSE2, kernels::MaskAlphaLineSSE2,
                      "sse2"};
const TPixelOps kAVX2{kernels::BlendLineAVX2, kernels::BlendLineOnClearAVX2, kernels::MaskAlphaLineAVX2,
                      "avx2"};
#endif

const std::vector<const TPixelOps*>& BlendVariants() {
    static const std::vector<const TPixelOps*> v = [] {
        std::vector<const TPixelOps*> list{&kScalar};
#ifdef VELMORA_X86
        list.push_back(&kSSE2);
        if (HasAVX2()) list.push_back(&kAVX2);
#endif
        return list;
    }();
    return v;
}
} // namespace

const TPixelOps& PixelOps() {
    static const TPixelOps& ops = ScalarForced() ? kScalar : *BlendVariants().back();
    return ops;
}
const TPixelOps& ScalarPixelOps() {
    return kScalar;
}
int PixelOpsVariantCount() {
    return int(BlendVariants().size());
}
const TPixelOps& PixelOpsVariant(int index) {
    return *BlendVariants()[size_t(index)];
}

void CombineSpan(const TColor32* src, TColor32* dst, int count, TCombineKind kind, uint32_t master) {
    if (count <= 0) return;
    switch (kind) {
    case TCombineKind::Copy:
        std::memmove(dst, src, size_t(count) * sizeof(TColor32));
        break;
    case TCombineKind::Blend:
        PixelOps().BlendLine(src, dst, count, master);
        break;
    case TCombineKind::BlendOnClear:
        PixelOps().BlendLineOnClear(src, dst, count, master);
        break;
    }
}

void CombineSolid(TColor32 color, TColor32* dst, int count, TCombineKind kind, uint32_t master) {
    if (count <= 0) return;
    if (kind == TCombineKind::Blend) {
        if (BlendWeight(color >> 24, master) == 0) return;
        for (int i = 0; i < count; ++i) dst[i] = BlendPixel(color, dst[i], master);
        return;
    }
    const TColor32 c = CombinePixel(color, 0, kind, master);
    for (int i = 0; i < count; ++i) dst[i] = c;
}

// ---- Linear stretch rows ----

namespace {
void StretchRowScalar(const TColor32* r0, const TColor32* r1, const int32_t* x, const uint32_t* fx,
                      uint32_t fy, TColor32* dst, int count, TCombineKind kind, uint32_t master) {
    for (int k = 0; k < count; ++k) {
        const int32_t i = x[k];
        const TColor32 s = BilinearPixelPacked(r0[i], r0[i + 1], r1[i], r1[i + 1], fx[k], fy);
        dst[k] = CombinePixel(s, dst[k], kind, master);
    }
}

void NearestRowScalar(const TColor32* row, const int32_t* x, TColor32* dst, int count, TCombineKind kind,
                      uint32_t master) {
    for (int k = 0; k < count; ++k) dst[k] = CombinePixel(row[x[k]], dst[k], kind, master);
}

const TStretchRowOps kStretchScalar{StretchRowScalar, NearestRowScalar, "scalar"};
#ifdef VELMORA_X86
const TStretchRowOps kStretchAVX2{kernels::StretchRowAVX2, kernels::NearestRowAVX2, "avx2"};
#endif

const std::vector<const TStretchRowOps*>& StretchVariants() {
    static const std::vector<const TStretchRowOps*> v = [] {
        std::vector<const TStretchRowOps*> list{&kStretchScalar};
#ifdef VELMORA_X86
        if (HasAVX2()) list.push_back(&kStretchAVX2);
#endif
        return list;
    }();
    return v;
}
} // namespace

const TStretchRowOps& StretchRowOps() {
    static const TStretchRowOps& ops = ScalarForced() ? kStretchScalar : *StretchVariants().back();
    return ops;
}
int StretchRowVariantCount() {
    return int(StretchVariants().size());
}
const TStretchRowOps& StretchRowVariant(int index) {
    return *StretchVariants()[size_t(index)];
}

// ---- Transformed spans ----

void TransformSpanScalar(const TTransformSpan& s) {
    int64_t u = s.U, v = s.V;
    for (int k = 0; k < s.Count; ++k, u += s.Ux, v += s.Vx) {
        const TColor32* p = s.Bits + size_t(v >> 16) * size_t(s.Stride) + size_t(u >> 16);
        const uint32_t fx = uint32_t(u >> 8) & 0xFF, fy = uint32_t(v >> 8) & 0xFF;
        const TColor32 c = BilinearPixelPacked(p[0], p[1], p[s.Stride], p[s.Stride + 1], fx, fy);
        s.Dst[k] = CombinePixel(c, s.Dst[k], s.Kind, s.Master);
    }
}
