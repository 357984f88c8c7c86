// A field definition with only the members a test names set:
//   Def([](config::FieldDef& d) { d.Size = 6; d.Show = 1; })
#pragma once

#include "config/screen_store.h"

namespace tervo::testing_support {

template <typename F>
config::FieldDef Def(F set) {
  config::FieldDef d;
  set(d);
  return d;
}

}  // namespace tervo::testing_support
