// Resource identifiers of the intro's module.
#ifndef ZARVO_RESOURCES_RESOURCE_H
#define ZARVO_RESOURCES_RESOURCE_H

// The program's icon, used for the main window's class.
constexpr int IDI_ZARVO = 101;

#endif
