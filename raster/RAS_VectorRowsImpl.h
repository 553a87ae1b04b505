// Row kernels written once over a vector type: included, inside an anonymous namespace, by
// the SSE2 and the AVX2 file, each with its own traits V (the AVX2 file is compiled for
// AVX2, so nothing here may have external linkage; it includes no project header).
//
// Pixels are handled in 16-bit lanes, four per pixel in byte order alpha, red, green, blue.
// The unpack and pack steps are both per 128-bit lane, so their orders cancel out.

template <class V>
struct Kernels {
  using T = typename V::T;
  static constexpr int kPixels = V::kBytes / 4;

  // s + (d - s) * inv / 256 per lane, the division truncating toward zero; inv 0-256 and
  // every lane 0-255, so |d - s| * inv stays within 16 unsigned bits.
  static T copyRule(T d, T s, T inv) {
    const T diff = V::sub16(d, s);
    const T sign = V::srai16(diff, 15);
    const T mag = V::sub16(V::xor_(diff, sign), sign);
    const T q = V::srli16(V::mullo16(mag, inv), 8);
    return V::add16(s, V::sub16(V::xor_(q, sign), sign));
  }

  // Each pixel's alpha lane copied to its four lanes.
  static T alphaToAll(T x) { return V::shufflehi16_0(V::shufflelo16_0(x)); }

  static int copyWeighted(uint32_t* d, const uint32_t* s, int n, int w) {
    const T zero = V::zero(), inv = V::set16(short(256 - w));
    int i = 0;
    for (; i + kPixels <= n; i += kPixels) {
      const T dv = V::load(d + i), sv = V::load(s + i);
      const T lo = copyRule(V::lo8(dv, zero), V::lo8(sv, zero), inv);
      const T hi = copyRule(V::hi8(dv, zero), V::hi8(sv, zero), inv);
      V::store(d + i, V::packus16(lo, hi));
    }
    return i;
  }

  static int fillWeighted(uint32_t* d, uint32_t c, int n, int w) {
    const T zero = V::zero(), inv = V::set16(short(256 - w));
    const T cv = V::lo8(V::set32(int(c)), zero);
    int i = 0;
    for (; i + kPixels <= n; i += kPixels) {
      const T dv = V::load(d + i);
      const T lo = copyRule(V::lo8(dv, zero), cv, inv);
      const T hi = copyRule(V::hi8(dv, zero), cv, inv);
      V::store(d + i, V::packus16(lo, hi));
    }
    return i;
  }

  // Red, green and blue blend by inv; the alpha lane becomes d + add (saturated by the pack).
  static T sourceAlphaRule(T d, T s, T inv, T add, T alphaLane) {
    const T rgb = copyRule(d, s, inv);
    const T a = V::add16(d, add);
    return V::or_(V::and_(alphaLane, a), V::andnot(alphaLane, rgb));
  }

  static int sourceAlphaFull(uint32_t* d, const uint32_t* s, int n) {
    const T zero = V::zero(), c255 = V::set16(255), alphaLane = V::set64(0xffff);
    const T alphaByte = V::set32(0xff);
    int i = 0;
    for (; i + kPixels <= n; i += kPixels) {
      const T dv = V::load(d + i), sv = V::load(s + i);
      T out[2];
      for (int h = 0; h < 2; ++h) {
        const T d16 = h ? V::hi8(dv, zero) : V::lo8(dv, zero);
        const T s16 = h ? V::hi8(sv, zero) : V::lo8(sv, zero);
        const T a = alphaToAll(s16);
        out[h] = sourceAlphaRule(d16, s16, V::sub16(c255, a), a, alphaLane);
      }
      // Transparent source pixels leave the destination as it was.
      const T keep = V::cmpeq32(V::and_(sv, alphaByte), zero);
      const T mixed = V::packus16(out[0], out[1]);
      V::store(d + i, V::or_(V::and_(keep, dv), V::andnot(keep, mixed)));
    }
    return i;
  }

  // With w below 256 a transparent source gives weight 0, which leaves the pixel unchanged.
  static int sourceAlphaWeighted(uint32_t* d, const uint32_t* s, int n, int w) {
    const T zero = V::zero(), one = V::set16(1), c256 = V::set16(256);
    const T wv = V::set16(short(w)), alphaLane = V::set64(0xffff);
    int i = 0;
    for (; i + kPixels <= n; i += kPixels) {
      const T dv = V::load(d + i), sv = V::load(s + i);
      T out[2];
      for (int h = 0; h < 2; ++h) {
        const T d16 = h ? V::hi8(dv, zero) : V::lo8(dv, zero);
        const T s16 = h ? V::hi8(sv, zero) : V::lo8(sv, zero);
        const T sw = V::srli16(V::mullo16(V::add16(alphaToAll(s16), one), wv), 8);
        out[h] = sourceAlphaRule(d16, s16, V::sub16(c256, sw), sw, alphaLane);
      }
      V::store(d + i, V::packus16(out[0], out[1]));
    }
    return i;
  }

  // Channel times weight as a 32-bit product, for the pixel pair in one 16-bit vector.
  static void mulAdd(T c, T w, T& lo, T& hi) {
    const T pl = V::mullo16(c, w), ph = V::mulhiu16(c, w);
    lo = V::add32(lo, V::lo16(pl, ph));
    hi = V::add32(hi, V::hi16(pl, ph));
  }

  // Weights (1 - fx)(1 - fy), fx(1 - fy), (1 - fx)fy, fx fy in 16.16 with fx fy / 65536
  // truncated once; the first is 65536 only at fractions (0, 0), which wraps to 0 in 16
  // bits and is put right by taking the pixel itself there.
  static int mix4(uint32_t* out, const uint32_t* p00, const uint32_t* p10, const uint32_t* p01,
                  const uint32_t* p11, const unsigned short* fx, const unsigned short* fy, int n) {
    const T zero = V::zero();
    int i = 0;
    for (; i + kPixels <= n; i += kPixels) {
      // Fractions per pixel, spread over the pixel's four lanes.
      const T fxv = V::loadHalf(fx + i), fyv = V::loadHalf(fy + i);
      const T fxy = V::mulhiu16(fxv, fyv);
      const T w11 = fxy, w10 = V::sub16(fxv, fxy), w01 = V::sub16(fyv, fxy);
      const T w00 = V::sub16(V::sub16(fxy, fxv), fyv);  // 65536 + fxy - fx - fy, mod 65536
      const T whole = V::cmpeq16(V::or_(fxv, fyv), zero);
      const T a = V::load(p00 + i), b = V::load(p10 + i), c = V::load(p01 + i),
              dd = V::load(p11 + i);
      T res[2];
      for (int h = 0; h < 2; ++h) {
        auto spread = [&](T wv) { return h ? V::spreadHi(wv) : V::spreadLo(wv); };
        auto widen = [&](T p) { return h ? V::hi8(p, zero) : V::lo8(p, zero); };
        T lo = zero, hi = zero;
        mulAdd(widen(a), spread(w00), lo, hi);
        mulAdd(widen(b), spread(w10), lo, hi);
        mulAdd(widen(c), spread(w01), lo, hi);
        mulAdd(widen(dd), spread(w11), lo, hi);
        const T mixed = V::packs32(V::srli32(lo, 16), V::srli32(hi, 16));
        const T exact = spread(whole);
        res[h] = V::or_(V::and_(exact, widen(a)), V::andnot(exact, mixed));
      }
      V::store(out + i, V::packus16(res[0], res[1]));
    }
    return i;
  }

  static constexpr RAS_VectorRows kRows = {V::kName,        copyWeighted,        fillWeighted,
                                           sourceAlphaFull, sourceAlphaWeighted, mix4};
};
