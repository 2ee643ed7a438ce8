// Finds the drive the player is mounted on.
#pragma once

class DeviceCatalogue;

// Sets the catalogue's drive root to the first removable drive, A to Y (never
// Z), whose root folder holds an index.mum that can be opened for reading.
// When no drive qualifies the root is left as it was.
void LocateDevice(DeviceCatalogue& catalogue);
