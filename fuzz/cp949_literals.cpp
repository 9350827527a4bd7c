// Compiled from its CP949 copy like every other fuzzed source: the build stops here when a
// copy's string literals do not hold CP949 bytes (the copy was not transcoded, or the
// compiler changed the literal's bytes).
static_assert(sizeof("가┌") == 5, "a Korean syllable and a box-drawing character are two bytes each in CP949");
static_assert(static_cast<unsigned char>("가"[0]) == 0xB0 && static_cast<unsigned char>("가"[1]) == 0xA1,
              "가 is B0 A1 in CP949");
static_assert(static_cast<unsigned char>("┌"[0]) == 0xA6 && static_cast<unsigned char>("┌"[1]) == 0xA3,
              "┌ is A6 A3 in CP949");
