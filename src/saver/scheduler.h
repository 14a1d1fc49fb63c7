#pragma once
#include <memory>

class Saver;
class SaverHost;

// Ends the host's current effect and starts the next one: the trace summary,
// a fresh palette, the "-t" search and the choice of the next effect.
void start_next_saver(SaverHost& host, std::unique_ptr<Saver>& current_saver);

// Takes raw values from app.rand until one equals the number or a message waits
// for the host ("-b" and "-t"); a value the generator never yields is skipped.
void skip_to_value(const SaverHost& host, long number);
