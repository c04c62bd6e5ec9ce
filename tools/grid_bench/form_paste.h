// The real definition form's paste, timed by korvid-grid-bench.
#pragma once

namespace korvid::bench {

// Shows the definition form on this thread, pastes 10, 1,000 and 10,000
// spreadsheet lines through its CopyPaste menu from a second thread, prints
// the times against an empty message, and closes the form.
void BenchFormPaste();

}  // namespace korvid::bench
