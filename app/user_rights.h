// Whether the current user holds administrator rights (NT family).
#pragma once

// Non-zero when an access check of the thread's (or else the process's) token against a
// descriptor that grants access only to the built-in Administrators alias succeeds.
int IsUserAdministrator();
