#include "platform/cpu/vector_state.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace quill {

#if defined(__x86_64__) || defined(__i386__)
namespace {

__attribute__((target("avx"))) void ZeroUpper() { _mm256_zeroupper(); }

}  // namespace

void ClearUpperVectorState() {
  static const bool has_avx = __builtin_cpu_supports("avx");
  if (has_avx) ZeroUpper();
}
#else
void ClearUpperVectorState() {}
#endif

}  // namespace quill
