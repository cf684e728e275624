// Helpers of the end-to-end tests: one workbench per process (the plug-in is
// loaded once, as on the tester), sessions on the virtual clock, and readers
// for the wire trace and the transcript.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vaz_old.h"  // the session record and the numbers shared with the plug-in
#include "workbench.h"

namespace e2e {

vazdiag::Workbench &bench();

// A session with the script given, on the simulated car, engine values frozen
// so that value texts are exact.
vazdiag::SessionSetup session(int ecuType, const std::string &car, const std::string &script);

// Frames on the line in order, as "T> 82 10 F1 21 01 A5" / "E< ...", without time stamps.
std::vector<std::string> frames(const std::string &trace);
// Only the tester's frames, without the "T> " marker.
std::vector<std::string> sent(const std::string &trace);
// How often a tester frame was sent.
int times_sent(const std::string &trace, const std::string &frame);

// The transcript's blocks whose first line starts with `head` (e.g. "[message").
std::vector<std::string> blocks(const std::string &transcript, const std::string &head);
// The first lines of the message blocks, in order: "[message, style 5] Title" and the text.
std::vector<std::string> messages(const std::string &transcript);

// "Name: value" lines of the data-stream pass number `pass` (1-based; 0 = last).
std::vector<std::string> stream_pass(const std::string &transcript, int pass = 0);

}  // namespace e2e
