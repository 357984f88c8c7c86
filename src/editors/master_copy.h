// Master screens: a definition configured once and marked as master lends
// its settings to every new screen that shows the same key texts at the same
// positions.
#pragma once

#include "config/general_options.h"
#include "config/log.h"
#include "config/screen_store.h"

namespace tervo::editors {

struct MasterCopyContext {
  config::ScreenStore& store;
  const config::GeneralOptions& options;  // DisplayLen for centred titles
  config::Log& log;
};

// The master whose key fields all show the same trimmed host text at the
// same position in screen t, with the most key fields (ties: the lower
// number); -1 when none matches or t is a master or has no captured fields.
int ChooseMaster(const config::ScreenStore& store, int t);

// Chooses the master for screen t and copies it; false when none matched.
// The choice is written to the debug log (never the caption: it is no error).
bool CopyFromMaster(MasterCopyContext& ctx, int t);

// Copies master m's screen keys and, field by field, the settings of the
// master fields paired with t's fields by position (or along MoveV).
void CopyMasterSettings(MasterCopyContext& ctx, int m, int t);

}  // namespace tervo::editors
