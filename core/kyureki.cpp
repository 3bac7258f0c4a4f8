#include "core/kyureki.h"

#include "core/sjis.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

struct Term
{
    double k; // degrees per Julian century
    double phase; // degrees
    double amplitude;
};

const Term kSunTerms[] = {
    { 31557, 161, 0.0004 }, { 29930, 48, 0.0004 },    { 2281, 221, 0.0005 },
    { 155, 118, 0.0005 },   { 33718, 316, 0.0006 },   { 9038, 64, 0.0007 },
    { 3035, 110, 0.0007 },  { 65929, 45, 0.0007 },    { 22519, 352, 0.0013 },
    { 45038, 254, 0.0015 }, { 445267, 208, 0.0018 },  { 19, 159, 0.0018 },
    { 32964, 158, 0.002 },  { 71998.1, 265.1, 0.02 },
};

const Term kMoonTerms[] = {
    { 2322131, 191, 0.0003 },       { 4067, 70, 0.0003 },         { 549197, 220, 0.0003 },
    { 1808933, 58, 0.0003 },        { 349472, 337, 0.0003 },      { 381404, 354, 0.0003 },
    { 958465, 340, 0.0003 },        { 12006, 187, 0.0004 },       { 39871, 223, 0.0004 },
    { 509131, 242, 0.0005 },        { 1745069, 24, 0.0005 },      { 1908795, 90, 0.0005 },
    { 2258267, 156, 0.0006 },       { 111869, 38, 0.0006 },       { 27864, 127, 0.0007 },
    { 485333, 186, 0.0007 },        { 405201, 50, 0.0007 },       { 790672, 114, 0.0007 },
    { 1403732, 98, 0.0008 },        { 858602, 129, 0.0009 },      { 1920802, 186, 0.0011 },
    { 1267871, 249, 0.0012 },       { 1856938, 152, 0.0016 },     { 401329, 274, 0.0018 },
    { 341337, 16, 0.0021 },         { 71998, 85, 0.0021 },        { 990397, 357, 0.0021 },
    { 818536, 151, 0.0022 },        { 922466, 163, 0.0023 },      { 99863, 122, 0.0024 },
    { 1379739, 17, 0.0026 },        { 918399, 182, 0.0027 },      { 1934, 145, 0.0028 },
    { 541062, 259, 0.0037 },        { 1781068, 21, 0.0038 },      { 133, 29, 0.004 },
    { 1844932, 56, 0.004 },         { 1331734, 283, 0.004 },      { 481266, 205, 0.005 },
    { 31932, 107, 0.0052 },         { 926533, 323, 0.0068 },      { 449334, 188, 0.0079 },
    { 826671, 111, 0.0085 },        { 1431597, 315, 0.01 },       { 1303870, 246, 0.0107 },
    { 489205, 142, 0.011 },         { 1443603, 52, 0.0125 },      { 75870, 41, 0.0154 },
    { 513197.9, 222.5, 0.0304 },    { 445267.1, 27.9, 0.0347 },   { 441199.8, 47.4, 0.0409 },
    { 854535.2, 148.2, 0.0458 },    { 1367733.1, 280.7, 0.0533 }, { 377336.3, 13.2, 0.0571 },
    { 63863.5, 124.2, 0.0588 },     { 966404, 276.5, 0.1144 },    { 35999.05, 87.53, 0.1851 },
    { 954397.74, 179.93, 0.2136 },  { 890534.22, 145.7, 0.6583 }, { 413335.35, 10.74, 1.274 },
    { 477198.868, 44.963, 6.2888 },
};

constexpr double kRad = 0.017453292519943295;
constexpr double kJdOfDayZero = 2415018;
constexpr double kJ2000 = 2451545;
constexpr double kCentury = 36525;
constexpr double kZoneShift = 0.375; // nine hours
constexpr double kTolerance = 1.0 / 86400;
constexpr double kSynodicMonth = 29.530589;

// Truncation toward zero, as every step of the method counts whole days.
double Int(double x)
{
    return std::trunc(x);
}

long long IntDay(double x)
{
    return static_cast<long long>(std::trunc(x));
}

// The series are summed for every cell of every repaint, thousands of terms
// per conversion, so each term's cosine is computed here rather than by the
// library: the angle is brought into [0, 360) as NormalizeAngle does, reduced
// exactly to the nearest quarter turn, and the cosine taken from polynomials
// accurate to the last bits of a double, evaluated in a shallow tree so that
// the steps of several terms overlap. Two terms (SSE2) or four (AVX2, chosen
// at run time) go through the same steps at once. The terms are added in
// table order, so every path gives the same bits.

// Taylor coefficients in y = x^2: cos x = sum kCos[i] y^i, sin x = x sum kSin[i] y^i.
constexpr double kCos[9] = { 1,
                             -1.0 / 2,
                             1.0 / 24,
                             -1.0 / 720,
                             1.0 / 40320,
                             -1.0 / 3628800,
                             1.0 / 479001600,
                             -1.0 / 87178291200.0,
                             1.0 / 20922789888000.0 };
constexpr double kSin[9] = { 1,
                             -1.0 / 6,
                             1.0 / 120,
                             -1.0 / 5040,
                             1.0 / 362880,
                             -1.0 / 39916800,
                             1.0 / 6227020800.0,
                             -1.0 / 1307674368000.0,
                             1.0 / 355687428096000.0 };

template<typename V> [[gnu::always_inline]] inline V Poly8(V y, const double (&c)[9])
{
    const V y2 = y * y;
    const V y4 = y2 * y2;
    const V p01 = V(c[0]) + V(c[1]) * y;
    const V p23 = V(c[2]) + V(c[3]) * y;
    const V p45 = V(c[4]) + V(c[5]) * y;
    const V p67 = V(c[6]) + V(c[7]) * y;
    return (p01 + p23 * y2) + (p45 + p67 * y2) * y4 + V(c[8]) * (y4 * y4);
}

// Series angles stay far below 2^31 turns, so 32-bit truncation is exact.
inline double TermValue(const Term& term, double t)
{
    const double a = term.k * t + term.phase;
    const double b = std::fabs(a);
    const double r0 = b - 360 * static_cast<double>(static_cast<int>(b / 360));
    const double r = a < 0 ? 360 - r0 : r0;
    const int q = static_cast<int>(r * (1.0 / 90) + 0.5); // 0..4
    // Exact: 90 * q is exact and r lies within a factor of two of it.
    const double x = (r - 90 * q) * kRad; // within [-pi/4, pi/4]
    const double y = x * x;
    // cos(90q + x): q = 0 cos, 1 -sin, 2 -cos, 3 sin, 4 cos.
    const double m = (q & 1) ? x * Poly8(y, kSin) : Poly8(y, kCos);
    return term.amplitude * (((q + 1) & 2) ? -m : m);
}

#if defined(__SSE2__)
struct V2
{
    __m128d v;
    V2(__m128d x) : v(x) { }
    explicit V2(double x) : v(_mm_set1_pd(x)) { }
    friend V2 operator+(V2 a, V2 b) { return _mm_add_pd(a.v, b.v); }
    friend V2 operator-(V2 a, V2 b) { return _mm_sub_pd(a.v, b.v); }
    friend V2 operator*(V2 a, V2 b) { return _mm_mul_pd(a.v, b.v); }
};

inline V2 Select(__m128d mask, V2 ifSet, V2 ifClear)
{
    return _mm_or_pd(_mm_and_pd(mask, ifSet.v), _mm_andnot_pd(mask, ifClear.v));
}

// TermValue for two terms at once, step for step.
[[gnu::always_inline]] inline void TermValues2(const Term& t0, const Term& t1, double t,
                                               double* out)
{
    const V2 v360(360.0);
    const __m128d signBit = _mm_set1_pd(-0.0);
    const V2 a = V2(_mm_set_pd(t1.k, t0.k)) * V2(t) + V2(_mm_set_pd(t1.phase, t0.phase));
    const V2 b = _mm_andnot_pd(signBit, a.v);
    const V2 n = _mm_cvtepi32_pd(_mm_cvttpd_epi32(_mm_div_pd(b.v, v360.v)));
    const V2 r0 = b - v360 * n;
    const V2 r = Select(_mm_cmplt_pd(a.v, _mm_setzero_pd()), v360 - r0, r0);
    const __m128i q = _mm_cvttpd_epi32((r * V2(1.0 / 90) + V2(0.5)).v);
    const V2 x = (r - V2(90.0) * V2(_mm_cvtepi32_pd(q))) * V2(kRad);
    const V2 y = x * x;
    // Lane masks from the two 32-bit quadrants.
    const __m128i q64 = _mm_shuffle_epi32(q, _MM_SHUFFLE(1, 1, 0, 0));
    const __m128d odd =
        _mm_castsi128_pd(_mm_cmpeq_epi32(_mm_and_si128(q64, _mm_set1_epi32(1)), _mm_set1_epi32(1)));
    const __m128i q1 = _mm_add_epi32(q64, _mm_set1_epi32(1));
    const __m128d flip =
        _mm_castsi128_pd(_mm_cmpeq_epi32(_mm_and_si128(q1, _mm_set1_epi32(2)), _mm_set1_epi32(2)));
    const V2 m = Select(odd, x * Poly8(y, kSin), Poly8(y, kCos));
    const V2 signedM = _mm_xor_pd(m.v, _mm_and_pd(flip, signBit));
    _mm_storeu_pd(out, (V2(_mm_set_pd(t1.amplitude, t0.amplitude)) * signedM).v);
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define KALVERO_KOYOMI_AVX2 1
// TermValue for four terms at once, step for step, where the processor has
// AVX2 (chosen at run time). No fused multiply-add: the results are the same
// bits as the other paths.
[[gnu::target("avx2")]] inline __m256d Lin4(__m256d y, double c0, double c1)
{
    return _mm256_add_pd(_mm256_set1_pd(c0), _mm256_mul_pd(_mm256_set1_pd(c1), y));
}

// Poly8 on four lanes, in the same order of operations.
[[gnu::target("avx2")]] inline __m256d Poly8x4(__m256d y, const double (&c)[9])
{
    const __m256d y2 = _mm256_mul_pd(y, y);
    const __m256d y4 = _mm256_mul_pd(y2, y2);
    const __m256d lo = _mm256_add_pd(Lin4(y, c[0], c[1]), _mm256_mul_pd(Lin4(y, c[2], c[3]), y2));
    const __m256d hi = _mm256_add_pd(Lin4(y, c[4], c[5]), _mm256_mul_pd(Lin4(y, c[6], c[7]), y2));
    return _mm256_add_pd(_mm256_add_pd(lo, _mm256_mul_pd(hi, y4)),
                         _mm256_mul_pd(_mm256_set1_pd(c[8]), _mm256_mul_pd(y4, y4)));
}

[[gnu::target("avx2")]] inline void TermValues4(const Term* terms, double t, double* out)
{
    const __m256d v360 = _mm256_set1_pd(360);
    const __m256d signBit = _mm256_set1_pd(-0.0);
    const __m256d k = _mm256_set_pd(terms[3].k, terms[2].k, terms[1].k, terms[0].k);
    const __m256d phase =
        _mm256_set_pd(terms[3].phase, terms[2].phase, terms[1].phase, terms[0].phase);
    const __m256d a = _mm256_add_pd(_mm256_mul_pd(k, _mm256_set1_pd(t)), phase);
    const __m256d b = _mm256_andnot_pd(signBit, a);
    const __m256d n = _mm256_cvtepi32_pd(_mm256_cvttpd_epi32(_mm256_div_pd(b, v360)));
    const __m256d r0 = _mm256_sub_pd(b, _mm256_mul_pd(v360, n));
    const __m256d neg = _mm256_cmp_pd(a, _mm256_setzero_pd(), _CMP_LT_OQ);
    const __m256d r = _mm256_blendv_pd(r0, _mm256_sub_pd(v360, r0), neg);
    const __m128i q = _mm256_cvttpd_epi32(
        _mm256_add_pd(_mm256_mul_pd(r, _mm256_set1_pd(1.0 / 90)), _mm256_set1_pd(0.5)));
    const __m256d x =
        _mm256_mul_pd(_mm256_sub_pd(r, _mm256_mul_pd(_mm256_set1_pd(90), _mm256_cvtepi32_pd(q))),
                      _mm256_set1_pd(kRad));
    const __m256d y = _mm256_mul_pd(x, x);
    const __m256d c = Poly8x4(y, kCos);
    const __m256d s = _mm256_mul_pd(x, Poly8x4(y, kSin));
    const __m128i one = _mm_set1_epi32(1), two = _mm_set1_epi32(2);
    const __m256d odd =
        _mm256_castsi256_pd(_mm256_cvtepi32_epi64(_mm_cmpeq_epi32(_mm_and_si128(q, one), one)));
    const __m256d flip = _mm256_castsi256_pd(
        _mm256_cvtepi32_epi64(_mm_cmpeq_epi32(_mm_and_si128(_mm_add_epi32(q, one), two), two)));
    const __m256d m = _mm256_xor_pd(_mm256_blendv_pd(c, s, odd), _mm256_and_pd(flip, signBit));
    const __m256d amplitude = _mm256_set_pd(terms[3].amplitude, terms[2].amplitude,
                                            terms[1].amplitude, terms[0].amplitude);
    _mm256_storeu_pd(out, _mm256_mul_pd(amplitude, m));
}

template<int N> [[gnu::target("avx2")]] double SumTermsAvx2(const Term (&terms)[N], double t)
{
    double v[N];
    int i = 0;
    for (; i + 3 < N; i += 4)
        TermValues4(terms + i, t, v + i);
    for (; i < N; ++i)
        v[i] = TermValue(terms[i], t);
    double sum = 0;
    for (int j = 0; j < N; ++j)
        sum += v[j];
    return sum;
}

const bool kHaveAvx2 = __builtin_cpu_supports("avx2");
#endif

template<int N> double SumTerms(const Term (&terms)[N], double t)
{
#if defined(KALVERO_KOYOMI_AVX2)
    if (kHaveAvx2)
        return SumTermsAvx2(terms, t);
#endif
    double v[N];
    int i = 0;
#if defined(__SSE2__)
    for (; i + 1 < N; i += 2)
        TermValues2(terms[i], terms[i + 1], t, v + i);
#endif
    for (; i < N; ++i)
        v[i] = TermValue(terms[i], t);
    double sum = 0;
    for (int j = 0; j < N; ++j)
        sum += v[j];
    return sum;
}

// The moment of a split time value (whole day t1, fraction t2 already shifted
// to universal time) in Julian centuries from J2000.
double Centuries(double t1, double t2)
{
    return (t1 - kJ2000) / kCentury + (t2 + 0.5) / kCentury;
}

} // namespace

double NormalizeAngle(double a)
{
    // The angles of the series stay far below 2^62 degrees, where a plain
    // integer conversion truncates without the library's range checks.
    const double b = std::fabs(a);
    const double r = b < 4.6e18 ? b - 360 * static_cast<double>(static_cast<long long>(b / 360))
                                : std::fmod(b, 360);
    return a >= 0 ? r : 360 - r;
}

double SunLongitude(double t)
{
    double s = SumTerms(kSunTerms, t);
    const double a = NormalizeAngle(35999.05 * t + 267.52);
    const double ca = std::cos(a * kRad);
    s -= 0.0048 * t * ca;
    s += 1.9147 * ca;
    const double m = NormalizeAngle(NormalizeAngle(36000.7695 * t) + 280.4659);
    return NormalizeAngle(s + m);
}

double MoonLongitude(double t)
{
    const double s = SumTerms(kMoonTerms, t);
    return NormalizeAngle(s + NormalizeAngle(NormalizeAngle(481267.8809 * t) + 218.3162));
}

int SolarTermOfDate(days::Day date)
{
    const double d = static_cast<double>(date) + kJdOfDayZero;
    const double t1 = (d - kJ2000) / kCentury + 0.125 / kCentury;
    const double t2 = (d + 1 - kJ2000) / kCentury + 0.125 / kCentury;
    const double l1 = SunLongitude(t1);
    const double l2 = SunLongitude(t2);
    const int n1 = static_cast<int>(l1 / 15);
    const int n2 = static_cast<int>(l2 / 15);
    return n1 == n2 ? -1 : n2;
}

double TKyureki::PrincipalTermBefore(int step, double tm)
{
    double t1 = Int(tm);
    double t2 = tm - t1 - kZoneShift;
    const double target = step * Int(SunLongitude(Centuries(t1, t2)) / step);
    WorkLongitude = target;
    double d1 = 0, d2 = 1;
    while (std::fabs(d1 + d2) > kTolerance) {
        double dl = SunLongitude(Centuries(t1, t2)) - target;
        if (dl > 180)
            dl -= 360;
        else if (dl < -180)
            dl += 360;
        const double dt = dl * 365.2 / 360;
        d1 = Int(dt);
        d2 = dt - d1;
        t1 -= d1;
        t2 -= d2;
        if (t2 < 0) {
            t2 += 1;
            t1 -= 1;
        }
    }
    return t1 + t2 + kZoneShift;
}

double TKyureki::NewMoonNear(double tm)
{
    double t1 = Int(tm);
    double t2 = tm - t1 - kZoneShift;
    double d1 = 0, d2 = 1;
    for (int pass = 1; std::fabs(d1 + d2) > kTolerance; ++pass) {
        const double t = Centuries(t1, t2);
        const double ls = SunLongitude(t);
        const double lm = MoonLongitude(t);
        double dl = lm - ls;
        if (pass == 1 && dl < 0)
            dl = NormalizeAngle(dl);
        else if (ls >= 0 && ls <= 20 && lm >= 300)
            dl = 360 - NormalizeAngle(dl);
        else if (std::fabs(dl) > 40)
            dl = NormalizeAngle(dl);
        const double dt = dl * kSynodicMonth / 360;
        d1 = Int(dt);
        d2 = dt - d1;
        t1 -= d1;
        t2 -= d2;
        if (t2 < 0) {
            t2 += 1;
            t1 -= 1;
        }
        const bool converged = std::fabs(d1 + d2) <= kTolerance;
        if (pass == 15 && !converged) {
            t1 = Int(tm - 26);
            t2 = 0;
        } else if (pass > 30 && !converged) {
            return tm + kZoneShift;
        }
    }
    return t1 + t2 + kZoneShift;
}

void TKyureki::Calc(days::Day date)
{
    Date = date;
    const double jd = static_cast<double>(date) + kJdOfDayZero;
    const long long jdDay = IntDay(jd);

    // Four principal terms, the first a solstice or equinox at or before the
    // date. Each search starts 32 days after the previous term's moment.
    double c[4];
    c[0] = PrincipalTermBefore(90, jd);
    int firstMonth = static_cast<int>(WorkLongitude / 30) + 2;
    if (firstMonth > 12)
        firstMonth -= 12;
    for (int i = 1; i < 4; ++i)
        c[i] = PrincipalTermBefore(30, c[i - 1] + 32);

    double s[5];
    s[0] = NewMoonNear(c[0]);
    for (int i = 1; i < 5; ++i) {
        s[i] = NewMoonNear(s[i - 1] + 30);
        if (std::llabs(IntDay(s[i - 1]) - IntDay(s[i])) <= 26)
            s[i] = NewMoonNear(s[i - 1] + 35);
    }

    // Align the new moons with the first principal term.
    if (IntDay(s[1]) <= IntDay(c[0])) {
        for (int i = 0; i < 4; ++i)
            s[i] = s[i + 1];
        s[4] = NewMoonNear(s[3] + 35);
    } else if (IntDay(s[0]) > IntDay(c[0])) {
        const double old0 = s[0];
        for (int i = 4; i > 0; --i)
            s[i] = s[i - 1];
        s[0] = NewMoonNear(old0 - 27);
    }

    // Five new moons within three principal terms: a month without a
    // principal term among them is the leap month.
    bool leapPending = IntDay(s[4]) <= IntDay(c[3]);

    struct Month
    {
        int number;
        bool leap;
        long long first;
    };
    Month m[5];
    m[0] = { firstMonth, false, IntDay(s[0]) };
    for (int i = 1; i < 5; ++i) {
        if (leapPending && i != 1) {
            const long long ci = IntDay(c[i - 1]);
            if (ci <= IntDay(s[i - 1]) || ci >= IntDay(s[i])) {
                m[i - 1] = { m[i - 2].number, true, IntDay(s[i - 1]) };
                leapPending = false;
            }
        }
        int n = m[i - 1].number + 1;
        if (n > 12)
            n -= 12;
        m[i] = { n, false, IntDay(s[i]) };
    }

    int k = 0;
    for (int i = 1; i < 5; ++i) {
        if (m[i].first <= jdDay)
            k = i;
    }
    OldMonth = m[k].number;
    Leap = m[k].leap;
    OldDay = static_cast<int>(jdDay - m[k].first + 1);

    const days::Ymd ymd = days::Decode(date);
    OldYear = ymd.year;
    if (OldMonth > 9 && OldMonth > ymd.month)
        --OldYear;
}

int TKyureki::RokuyoIndex() const
{
    int i = (OldMonth + OldDay - 2) % 6;
    return i < 0 ? i + 6 : i;
}

const std::string& TKyureki::RokuyoName() const
{
    static const std::string* const names[6] = {
        &SJ("先勝"), &SJ("友引"), &SJ("先負"), &SJ("仏滅"), &SJ("大安"), &SJ("赤口"),
    };
    return *names[RokuyoIndex()];
}

int TKyureki::RokuyoLuck() const
{
    switch (RokuyoIndex()) {
    case 4:
        return 1;
    case 3:
        return 2;
    default:
        return 0;
    }
}
