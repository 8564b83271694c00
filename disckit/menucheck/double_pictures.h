// The menus' pictures for 200 % (NAME@2x beside NAME): each exactly twice
// its 100 % picture, and in a project that gives any, which languages'
// menus lack theirs.
#pragma once

#include "disckit/menucheck/diagnostic.h"
#include "disckit/menucheck/menu_check.h"

#include <vector>

// The resource name of a menu's 200 % picture.
std::string DoublePictureName(const std::string& resource);

// Reads the 200 % picture of each menu that has one (doubleFile) into
// doubleBitmap when it is exactly twice the 100 % picture; reports the others
// as errors naming both sizes, and each language whose menus lack some as a
// warning naming them.
void CheckDoublePictures(std::vector<CheckedMenu>& menus, std::vector<Diagnostic>& diagnostics);
