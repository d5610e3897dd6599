// Writes the tokens of the JCALG1 encoder's parses as a bitstream: picks the index base for
// the distances each batch sends, stores stretches that do not compress as raw blocks and
// chooses the literal width over the batch's literals.
#pragma once

#include "package/jcalg1_bit_writer.h"
#include "package/jcalg1_costs.h"
#include "package/jcalg1_format.h"
#include "package/jcalg1_literal_modes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vuni::jcalg1 {

class TokenEmitter {
public:
    // out receives the bitstream after what it holds already.
    TokenEmitter(const uint8_t* data, const LiteralModes& modes, std::string& out)
        : data_(data), modes_(modes), bits_(out) {}

    // Writes tokens, which cover the input from start on; they may be rewritten on the way.
    void Emit(size_t start, std::vector<Token>& tokens);
    // Writes the end token and the last word.
    void Finish();

    // The decoder's state after what has been written.
    uint32_t LastIndex() const { return lastIndex_; }
    unsigned IndexBase() const { return indexBase_; }

private:
    void ChooseIndexBase(const std::vector<Token>& tokens);
    void MergeRawBlocks(size_t start, std::vector<Token>& tokens);
    void PriceTokens(size_t start, const std::vector<Token>& tokens);
    void ChooseLiteralModes(size_t start, const std::vector<Token>& tokens);
    void EmitByte(size_t pos, const Token& t);
    void EmitMatch(uint32_t dist, uint32_t len);
    void Start();
    void SetLiteralMode(LiteralMode mode);

    const uint8_t* data_;
    const LiteralModes& modes_;
    BitWriter bits_;
    std::vector<Token> merged_;
    std::vector<uint32_t> costs_;
    std::vector<uint32_t> lastAfter_;
    std::vector<size_t> nextPhrase_;
    std::vector<uint8_t> literals_;
    std::vector<LiteralMode> choice_;
    size_t nextChoice_ = 0;
    LiteralMode literalMode_{8, 0};
    bool started_ = false;
    uint32_t lastIndex_ = kInitialLastIndex;
    unsigned indexBase_ = kInitialIndexBase;
};

} // namespace vuni::jcalg1
