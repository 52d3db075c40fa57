// The Jet reader process: reads .mdb/.accdb and .xls files for the program
// over the channel it gets as standard input, so that a crash in the file
// libraries ends this process and not the program.
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include "platform/jet/reader/jet_reader_service.h"

int main() {
  // Ends with the program, also when the program itself is killed.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  // The channel moves off the standard streams, so that whatever the
  // libraries print goes to standard error and never into the channel.
  const int channel = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
  if (channel < 0) return 1;
  const int null_input = open("/dev/null", O_RDONLY);
  if (null_input >= 0) dup2(null_input, STDIN_FILENO);
  dup2(STDERR_FILENO, STDOUT_FILENO);
  return quill::ServeJetReader(channel);
}
