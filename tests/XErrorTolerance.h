#pragma once

/** Lets a test open desktop windows (menus, for instance) on a bare X server such as Xvfb. */
void tolerateXErrorsLikeAHost();
