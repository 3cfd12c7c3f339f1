// The layer between the tokenizer and the parser: the stack of sources being read (the scene
// file, included files, loop bodies, macro bodies, declared texts), the names known, and the
// directives that start with "#" (declare, include, for, if, else, end, macro,
// usual_arithmetic). The parser asks it for the next word.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/tokenizer.h"

// What an expression gives: a number or a vector.
struct Value {
    bool is_vector = false;
    double number = 0;
    Vector3 vector;
};

// What one load may do at most; past any of these it stops with an error of its own, never a
// hang or a machine out of memory. A harness that loads many scenes (the fuzzer) lowers them.
struct LoadLimits {
    long loopRounds = 10000000;
    long bodyWords = 200000000;  // words read through loops and macros
    int objects = 5000000;
};
extern LoadLimits loadLimits;

// Opens the scene file named by the program as the bottom of the stack ("file not found: "
// and the other file errors are fatal).
void open_scene_file(const char* file_name);
// Forgets the current file and every text read: nothing saved on the state stack may read
// them again. Errors from here on are no longer located in a file.
void close_scene_file();
// Reads the next word, carrying out the directives on the way and looking names up: loop
// names and macro parameters first, then the keywords and declared names (the first
// declaration stands), then the words added later (tokenizer.h, BUILTIN_WORDS).
void next_token();
void unget_token();

// The state stack: everything needed to come back to the current word.
void push_state();
// Returns to the last saved state; declarations, sources and names made since are forgotten.
void pop_state();
int state_depth();

// Gives back to the system the part of the scene file's text that nothing can read again (the
// text before every place that reading may come back to). Called only where no expression is
// being read: the terms of one point into the text.
void release_text_read();

// Reads the text declared for the current IDENTIFIER where it stands, until leave_source.
void enter_declared_text();
// Reads the body of a macro with each parameter standing for its argument, until
// leave_source; call_line is where the call stands.
void enter_macro(int32_t macro, const std::vector<Value>& arguments, int32_t call_line);
void leave_source();
// The body of the macro starts with a texture item ("texture", "pigment" or "finish").
bool macro_gives_texture(int32_t macro);
// The next number of a random stream, in [0, 1).
double draw_random(int32_t stream);

// The text being read asks for the usual arithmetic (#usual_arithmetic as its first word).
bool usual_arithmetic();
// Substitutions made while a loop or macro body is read are bounded by the words read.
bool reading_loop_or_macro();
// The bytes of every scene text read so far, for limits that grow with the input.
long bytes_read();

// The files included since the last reset, in the order they were first read, as opened.
const std::vector<std::string>& included_files();

// The chain of declared names, macro calls and loops that led to the word being read, as an
// index into the current scene store's origin links (-1: none).
int32_t current_origin_link();

// Forgets every file text, empties the stacks and starts again from the keywords alone.
void reset_tokenizer();
