// The facet normals of facets.cpp eight at a time in AVX-512 vectors, as
// floats or widened with their mirrors, and normals given as floats widened
// with their mirrors: built for AVX-512 and run only where the processor has
// it. Each lane takes the steps of facetNormal, as the SSE2 form there does,
// and of addFacetShares for R, so the same bits.
#include <immintrin.h>

#include "lighting/facets.h"

namespace {
// Eight normals' components, one vector each, as the 24 floats x0 y0 z0 x1 ...
void storeInterleaved(__m256 x, __m256 y, __m256 z, float* normals) {
    const __m512 xy = _mm512_castpd_ps(
        _mm512_insertf64x4(_mm512_castps_pd(_mm512_castps256_ps512(x)), _mm256_castps_pd(y), 1));
    const __m512 zz = _mm512_castps256_ps512(z);
    // x_i is entry i, y_i entry 8 + i, z_i entry 16 + i of the pair.
    const __m512i first = _mm512_setr_epi32(0, 8, 16, 1, 9, 17, 2, 10, 18, 3, 11, 19, 4, 12, 20, 5);
    const __m512i rest = _mm512_setr_epi32(13, 21, 6, 14, 22, 7, 15, 23, 0, 0, 0, 0, 0, 0, 0, 0);
    _mm512_storeu_ps(normals, _mm512_permutex2var_ps(xy, first, zz));
    _mm256_storeu_ps(normals + 16, _mm512_castps512_ps256(_mm512_permutex2var_ps(xy, rest, zz)));
}

// The normals of eight slopes, each component rounded to single precision;
// false when a slope is too steep for its square to be exact.
bool eightNormals(const int32_t* gx, const int32_t* gy, __m256 normal[3]) {
    const __m512d x = _mm512_cvtepi32_pd(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(gx)));
    const __m512d y = _mm512_cvtepi32_pd(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(gy)));
    const __m512d limit = _mm512_set1_pd(kExactSlope);
    if ((_mm512_cmp_pd_mask(_mm512_abs_pd(x), limit, _CMP_GE_OQ) |
         _mm512_cmp_pd_mask(_mm512_abs_pd(y), limit, _CMP_GE_OQ)) != 0)
        return false;
    const __m512d side = _mm512_set1_pd(double(kHeightPerPixelAt45Degrees));
    const __m512d squares = _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(x, x), _mm512_mul_pd(y, y)),
                                          _mm512_mul_pd(side, side));
    const __m512d k = _mm512_div_pd(_mm512_set1_pd(1.0), _mm512_sqrt_pd(squares));
    // A level facet points straight up: its x is +0, not -(0 x k).
    const __mmask8 sloped = _mm512_cmp_pd_mask(x, _mm512_setzero_pd(), _CMP_NEQ_UQ) |
                            _mm512_cmp_pd_mask(y, _mm512_setzero_pd(), _CMP_NEQ_UQ);
    const __m512d minusXk = _mm512_castsi512_pd(
        _mm512_xor_si512(_mm512_castpd_si512(_mm512_mul_pd(x, k)), _mm512_set1_epi64(INT64_MIN)));
    normal[0] = _mm512_cvtpd_ps(_mm512_maskz_mov_pd(sloped, minusXk));
    normal[1] = _mm512_cvtpd_ps(_mm512_mul_pd(y, k));
    normal[2] = _mm512_cvtpd_ps(_mm512_mul_pd(side, k));
    return true;
}

// N widened and R of eight normals, stored from `at` on.
void storeNormalsAndMirrors(const __m256 normal[3], int at, const NormalsAndMirrors& out) {
    const __m512d nx = _mm512_cvtps_pd(normal[0]), ny = _mm512_cvtps_pd(normal[1]),
                  nz = _mm512_cvtps_pd(normal[2]);
    const __m512d twiceZ = _mm512_mul_pd(_mm512_set1_pd(2.0), nz);
    _mm512_storeu_pd(out.nx + at, nx);
    _mm512_storeu_pd(out.ny + at, ny);
    _mm512_storeu_pd(out.nz + at, nz);
    _mm512_storeu_pd(out.rx + at, _mm512_mul_pd(twiceZ, nx));
    _mm512_storeu_pd(out.ry + at, _mm512_mul_pd(twiceZ, ny));
    _mm512_storeu_pd(out.rz + at, _mm512_sub_pd(_mm512_mul_pd(twiceZ, nz), _mm512_set1_pd(1.0)));
}
} // namespace

int facetNormalsAvx512(const int32_t* gx, const int32_t* gy, int count, float* normals) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256 normal[3];
        if (eightNormals(gx + i, gy + i, normal))
            storeInterleaved(normal[0], normal[1], normal[2], normals + 3 * i);
        else
            for (int k = i; k < i + 8; ++k)
                facetNormal(gx[k], gy[k], normals + 3 * k);
    }
    return i;
}

int normalsAndMirrorsAvx512(const int32_t* gx, const int32_t* gy, int count,
                            const NormalsAndMirrors& out) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256 normal[3];
        if (!eightNormals(gx + i, gy + i, normal)) {
            float steep[24];
            for (int k = 0; k < 8; ++k)
                facetNormal(gx[i + k], gy[i + k], steep + 3 * k);
            for (int c = 0; c < 3; ++c)
                normal[c] =
                    _mm256_setr_ps(steep[c], steep[3 + c], steep[6 + c], steep[9 + c],
                                   steep[12 + c], steep[15 + c], steep[18 + c], steep[21 + c]);
        }
        storeNormalsAndMirrors(normal, i, out);
    }
    return i;
}

// The 24 floats of eight normals are taken apart by two-source permutations.
int widenNormalsAvx512(const float* normals, int count, const NormalsAndMirrors& out) {
    const __m512i xOf = _mm512_setr_epi32(0, 3, 6, 9, 12, 15, 18, 21, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m512i yOf = _mm512_setr_epi32(1, 4, 7, 10, 13, 16, 19, 22, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m512i zOf = _mm512_setr_epi32(2, 5, 8, 11, 14, 17, 20, 23, 0, 0, 0, 0, 0, 0, 0, 0);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const float* n = normals + 3 * i;
        const __m512 first = _mm512_loadu_ps(n);
        const __m512 rest = _mm512_castps256_ps512(_mm256_loadu_ps(n + 16));
        const __m256 normal[3] = {_mm512_castps512_ps256(_mm512_permutex2var_ps(first, xOf, rest)),
                                  _mm512_castps512_ps256(_mm512_permutex2var_ps(first, yOf, rest)),
                                  _mm512_castps512_ps256(_mm512_permutex2var_ps(first, zOf, rest))};
        storeNormalsAndMirrors(normal, i, out);
    }
    return i;
}
