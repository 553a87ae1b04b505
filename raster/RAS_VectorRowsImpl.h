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

  static int fill(uint32_t* d, uint32_t c, int n) {
    const T cv = V::set32(int(c));
    int i = 0;
    for (; i + 2 * kPixels <= n; i += 2 * kPixels)
      V::store(d + i, cv), V::store(d + i + kPixels, cv);
    for (; i + kPixels <= n; i += kPixels) V::store(d + i, cv);
    return i;
  }

  static int copy(uint32_t* d, const uint32_t* s, int n) {
    int i = 0;
    for (; i + 2 * kPixels <= n; i += 2 * kPixels) {
      const T a = V::load(s + i), b = V::load(s + i + kPixels);
      V::store(d + i, a), V::store(d + i + kPixels, b);
    }
    for (; i + kPixels <= n; i += kPixels) V::store(d + i, V::load(s + i));
    return i;
  }

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

  // Red, green and blue blend by 255 - a; the alpha byte adds a with saturation, done on
  // the packed bytes.
  static int sourceAlphaFull(uint32_t* d, const uint32_t* s, int n) {
    const T zero = V::zero(), c255 = V::set16(255), alphaByte = V::set32(0xff);
    int i = 0;
    for (; i + kPixels <= n; i += kPixels) {
      const T dv = V::load(d + i), sv = V::load(s + i);
      const T slo = V::lo8(sv, zero), shi = V::hi8(sv, zero);
      const T lo = copyRule(V::lo8(dv, zero), slo, V::sub16(c255, alphaToAll(slo)));
      const T hi = copyRule(V::hi8(dv, zero), shi, V::sub16(c255, alphaToAll(shi)));
      const T mixed =
          V::or_(V::andnot(alphaByte, V::packus16(lo, hi)), V::and_(alphaByte, V::addsu8(dv, sv)));
      // Transparent source pixels leave the destination as it was.
      const T keep = V::cmpeq32(V::and_(sv, alphaByte), zero);
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

  // Bilinear scaling by columns. Mix4's weighted sum expands to
  //   ct(k) 65536 + fy D(k) + fx (ct(n) - ct(k)) + fxy (D(n) - D(k)),
  // with ct the top row, D = bottom - top and n the right neighbour. Per window column
  // A = ct 65536 + fy D + 32768 (dt + dD) and E = the pairs (dt, dD), so that each sample is
  // A + madd(E, (fx - 32768, fxy - 32768)): signed 16-bit weights, the offsets folded into A.
  // Always 128 bits wide: the samples pick their columns one by one.
  static void scaleRun(uint32_t* out, const uint32_t* top, const uint32_t* bottom, int m,
                       bool lastIsEdge, const int* col, const unsigned short* fx, unsigned fy,
                       int n, int* A, short* E) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i wD = _mm_set1_epi32(int(((fy - 32768) & 0xffff) | (16384u << 16)));
    // Columns whose neighbour lies in memory, two at a time.
    const int paired = lastIsEdge ? m - 1 : m;
    int k = 0;
    for (; k + 2 <= paired; k += 2) {
      auto widen = [&](const uint32_t* p) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)p), zero);
      };
      const __m128i t = widen(top + k), tn = widen(top + k + 1);
      const __m128i b = widen(bottom + k), bn = widen(bottom + k + 1);
      const __m128i d = _mm_sub_epi16(b, t), dn = _mm_sub_epi16(bn, tn);
      const __m128i dt = _mm_sub_epi16(tn, t), dd = _mm_sub_epi16(dn, d);
      const __m128i g = _mm_slli_epi16(_mm_sub_epi16(bn, t), 1);
      _mm_storeu_si128((__m128i*)(E + 8 * k), _mm_unpacklo_epi16(dt, dd));
      _mm_storeu_si128((__m128i*)(E + 8 * k + 8), _mm_unpackhi_epi16(dt, dd));
      const __m128i m0 = _mm_madd_epi16(_mm_unpacklo_epi16(d, g), wD);
      const __m128i m1 = _mm_madd_epi16(_mm_unpackhi_epi16(d, g), wD);
      _mm_storeu_si128((__m128i*)(A + 4 * k), _mm_add_epi32(_mm_unpacklo_epi16(zero, t), m0));
      _mm_storeu_si128((__m128i*)(A + 4 * k + 4), _mm_add_epi32(_mm_unpackhi_epi16(zero, t), m1));
    }
    for (; k < m; ++k) {
      const int next = k + 1 < m || !lastIsEdge ? k + 1 : k;
      for (int c = 0; c < 4; ++c) {
        const int ct = (top[k] >> (8 * c)) & 0xff, cb = (bottom[k] >> (8 * c)) & 0xff;
        const int ctn = (top[next] >> (8 * c)) & 0xff, cbn = (bottom[next] >> (8 * c)) & 0xff;
        const int dt = ctn - ct, dd = (cbn - ctn) - (cb - ct);
        E[8 * k + 2 * c] = short(dt), E[8 * k + 2 * c + 1] = short(dd);
        A[4 * k + c] = ct * 65536 + int(fy) * (cb - ct) + 32768 * (dt + dd);
      }
    }

    const __m128i fyv = _mm_set1_epi16(short(fy)), bias = _mm_set1_epi16(short(-32768));
    auto sample = [&](int s, __m128i w) {
      const __m128i a = _mm_loadu_si128((const __m128i*)(A + 4 * col[s]));
      const __m128i e = _mm_loadu_si128((const __m128i*)(E + 8 * col[s]));
      return _mm_srli_epi32(_mm_add_epi32(a, _mm_madd_epi16(e, w)), 16);
    };
    int i = 0;
    for (; i + 4 <= n; i += 4) {
      const __m128i f = _mm_loadl_epi64((const __m128i*)(fx + i));
      const __m128i fxy = _mm_mulhi_epu16(f, fyv);
      const __m128i w = _mm_unpacklo_epi16(_mm_add_epi16(f, bias), _mm_add_epi16(fxy, bias));
      const __m128i s0 = sample(i, _mm_shuffle_epi32(w, 0x00));
      const __m128i s1 = sample(i + 1, _mm_shuffle_epi32(w, 0x55));
      const __m128i s2 = sample(i + 2, _mm_shuffle_epi32(w, 0xaa));
      const __m128i s3 = sample(i + 3, _mm_shuffle_epi32(w, 0xff));
      _mm_storeu_si128((__m128i*)(out + i),
                       _mm_packus_epi16(_mm_packs_epi32(s0, s1), _mm_packs_epi32(s2, s3)));
    }
    for (; i < n; ++i) {
      const int k0 = col[i], f = fx[i], fxy = int((unsigned(f) * fy) >> 16);
      uint32_t v = 0;
      for (int c = 0; c < 4; ++c) {
        const int sum =
            A[4 * k0 + c] + (f - 32768) * E[8 * k0 + 2 * c] + (fxy - 32768) * E[8 * k0 + 2 * c + 1];
        v |= uint32_t(sum >> 16) << (8 * c);
      }
      out[i] = v;
    }
  }

  static constexpr RAS_VectorRows kRows = {
      V::kName, fill,    copy, copyWeighted, fillWeighted, sourceAlphaFull, sourceAlphaWeighted,
      mix4,     scaleRun};
};
