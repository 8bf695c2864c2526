// Level scripts: a small text description of a level, built into a TMap with
// the same objects the editor makes. The shipped levels are written this way
// (tools/levelgen turns each script into a .map file).
//
// One object or rope per line; `#` starts a comment.
//   [label:] <kind> <x> <y> [option ...]
//   rope <labelA> <labelB> [<offsetAX> <offsetAY> <offsetBX> <offsetBY>]
// Kinds: tall, square, plank, bigball, ball, pebble, bomb, laserbox, hero,
// crate, battery (the editor's palette in order, the rope left out).
// Options: static, interactive, white, mirror, angle=<degrees>,
// grow=<dw>,<dh> (the editor's resize). A rope without offsets is attached at
// the centres of its objects.
#pragma once

#include <string>

class TMap;

// Replaces the map's content with the script's. False with a message naming
// the line when the script is wrong (the map is then left empty).
bool BuildLevelFromScript(const std::string& script, TMap* map, std::string* error);
