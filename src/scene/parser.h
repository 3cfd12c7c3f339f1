// Reads one scene file into an object tree.
#pragma once

struct Object;

// Null when the file holds no object statement; every error ends the program.
Object* parse_scene_file(const char* file_name);
