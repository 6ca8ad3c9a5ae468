#pragma once

#include "core/Outcome.h"

class Session;

// The three rights a group grants on one rights code.
struct Rights
{
    bool create = false;
    bool modify = false;
    bool remove = false;
    bool any() const { return create || modify || remove; }
};

// Users, groups and rights: who may log in and what they may do. User codes,
// labels, group names and passwords are stored encoded (PasswordCodec).
namespace Access {

// The logged-in user's rights on a rights code ("RESSOURCES", "DEFZONES" …).
// Everything is allowed when user management is off; group 0 has every
// right; otherwise a right held by any of the user's groups is granted.
Rights lookup(Session &session, const QString &rightsCode);

// Checks a code and a typed password (blanks around either ignored). On
// success the code becomes the session's user, with its linked resource and
// the administrator flag; on any failure nobody is logged in.
Outcome logIn(Session &session, const QString &code, const QString &typedPassword);

// Creates the administrator group 0 "Admin" and the user "Admin" (password
// "Ombre", member of group 0) when they are missing.
Outcome ensureAdministrator(Session &session);

} // namespace Access
