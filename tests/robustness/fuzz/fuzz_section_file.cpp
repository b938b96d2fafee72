// Fuzz target: reading a coordinate file. Whatever the bytes, the reader either refuses
// them with a short one-line message free of control characters, or gives a section in
// the contour convention: the trailing edge at (1, 0) and no node behind it, the leading
// edge at x = 0, every node finite, clockwise, not crossing itself; and re-panelling such a section
// gives finite nodes or a refusal, never a crash.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "geometry/geometry_file.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view detail) {
  std::fprintf(stderr, "fuzz_section_file: %s: %.*s\n", what, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

void CheckMessage(const std::string& message) {
  if (message.empty() || message.size() > 300) Fail("message empty or long", message);
  for (char c : message) {
    if (static_cast<unsigned char>(c) < 0x20) Fail("control character in the message", message);
  }
}

// Every panel has two distinct ends.
void CheckPanels(const velquin::SectionPoints& s, std::string_view text) {
  for (int k = 0; k < s.NodeCount(); ++k) {
    const int next = (k + 1) % s.NodeCount();
    if (s.x[k] == s.x[next] && s.y[k] == s.y[next]) Fail("a panel of length zero", text);
  }
}

void CheckSection(const velquin::SectionPoints& s, std::string_view text) {
  if (s.x[0] != 1 || s.y[0] != 0) Fail("trailing edge not at (1, 0)", text);
  CheckPanels(s, text);
  double least_x = 1, twice_area = 0;
  for (int k = 0; k < s.NodeCount(); ++k) {
    if (!std::isfinite(s.x[k]) || !std::isfinite(s.y[k])) Fail("node not finite", text);
    if (k > 0 && k + 1 < s.NodeCount()) {  // a fan of triangles from node 0
      twice_area += (s.x[k] - 1) * s.y[k + 1] - (s.x[k + 1] - 1) * s.y[k];
    }
    least_x = std::min(least_x, s.x[k]);
    if (s.x[k] > 1) Fail("a node behind the trailing edge", text);
  }
  if (least_x != 0) Fail("leading edge not at x = 0", text);
  if (!(twice_area < 0)) Fail("not clockwise", text);
  if (velquin::SectionCrossing(s)) Fail("crosses itself", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const std::optional<velquin::SectionPoints> section =
      velquin::ParseSectionText(text, "fuzz.dat", error);
  if (!section) {
    CheckMessage(error);
    return 0;
  }
  CheckSection(*section, text);
  for (int NP : {3, 40}) {
    error.clear();
    const std::optional<velquin::SectionPoints> repanelled =
        velquin::RepanelSection(*section, NP, error);
    if (!repanelled) {
      CheckMessage(error);
      continue;
    }
    if (repanelled->NodeCount() != NP) Fail("re-panelled node count", text);
    CheckPanels(*repanelled, text);
    for (int k = 0; k < NP; ++k) {
      if (!std::isfinite(repanelled->x[k]) || !std::isfinite(repanelled->y[k])) {
        Fail("re-panelled node not finite", text);
      }
    }
  }
  return 0;
}
