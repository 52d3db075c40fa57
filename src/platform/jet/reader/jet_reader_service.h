#pragma once

namespace quill {

// The Jet reader process's side of its channel: reads requests from fd and
// answers each on the same fd through libmdb or FreeXL, in this process,
// until the program closes the channel (then returns 0). A failure of the
// channel returns 1; any exception other than a data-access error ends the
// process abnormally, as a crash would, so the program reports the file as
// damaged.
int ServeJetReader(int fd);

}  // namespace quill
