// Which folders may never be a station folder: the one rule the station
// (when it chooses its folder) and the exam room setup (when it is given
// the session's folder) share.
//
// Refused are the system's own trees (/usr, /etc, /proc ...), the folders
// everyone shares (/, /home, /tmp, /var, /srv, /opt, /mnt, /media ...,
// each itself; a folder made inside /srv or /var/lib is fine), and the home
// folders of other accounts (/root among them). A folder inside the
// account's own home is fine. The exam room session's folder must also
// outlive a reboot: nothing under /tmp or /var/tmp, which are emptied at
// boot.
#pragma once

#include <QString>

namespace station::folderrule {

enum class Use {
  Station,  // the folder a running station works in
  Session,  // the fixed folder of the exam room session, set up once
};

struct Verdict {
  enum class Why { Allowed, SystemTree, SharedFolder, OtherHome, EmptiedAtBoot } why = Why::Allowed;
  QString folder;  // the folder as checked: absolute, clean, links resolved
  QString match;   // the listed folder (or home) it is, or lies in
  bool refused() const { return why != Why::Allowed; }
};

// The rule for folder, used by account (its own home is allowed; an account
// that does not exist yet has /home/<account>).
Verdict check(const QString& folder, const QString& account, Use use);
// The rule for the account this process runs as.
Verdict checkForThisAccount(const QString& folder, Use use);
// One line in English saying why a refused folder is refused.
QString describe(const Verdict& verdict);

}  // namespace station::folderrule
