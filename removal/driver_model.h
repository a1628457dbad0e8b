// The driver model of the engraver, as the removal looks for it: the driver
// of the queues it removes, the model it deletes and the name it looks for in
// driver packages. One definition, shared by the removal's headers, so that a
// file including several of them still compiles.
#pragma once

#include <string_view>

namespace tw::removal {

// Compared exactly, letter case included.
inline constexpr std::u16string_view kDriverModelName = u"Tarn-Well";

}  // namespace tw::removal
