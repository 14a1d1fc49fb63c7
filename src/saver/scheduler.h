#pragma once
#include <memory>

class EffectHost;
class Saver;
struct Stage;

// The end of the current effect: the count of effects, the trace summary (the
// trace file starts afresh with it unless kept), the effect deleted and a
// fresh palette, all on the picture's stage. With no current effect only the
// count moves on.
void end_effect(const Stage& stage, std::unique_ptr<Saver>& current_saver, bool trace_kept, const char* version);
// The start of the next one: the "-t" search (for the first effect only) or
// one raw value, and the choice of the next effect, which runs on the host.
void begin_effect(EffectHost& host, std::unique_ptr<Saver>& current_saver);

// Takes raw values from app.rand until one equals the number or a message waits
// for the host ("-b" and "-t"); a value the generator never yields is skipped.
void skip_to_value(const EffectHost& host, long number);
