#include "platform/runtime.h"

#include "base/failure.h"

namespace qiv {

std::string arity_message(const std::string& file, int line, const std::string& name, bool outputs,
                          int declared) {
  return "Run-time Error: File: " + file + " Line: " + std::to_string(line) +
         " Column: 1 The function \"" + name +
         "\" was called with more than the declared number of " + (outputs ? "outputs" : "inputs") +
         " (" + std::to_string(declared) + ").";
}

void check_arity(const std::string& file, int line, const std::string& name, int max_in,
                 int max_out, int nin, int nout) {
  if (max_out != kAnyCount && nout > max_out)
    throw Failure(arity_message(file, line, name, true, max_out));
  if (max_in != kAnyCount && nin > max_in)
    throw Failure(arity_message(file, line, name, false, max_in));
}

void fail_not_enough_inputs() { throw Failure("Not enough input arguments."); }

std::string unknown_function_message(const std::string& name) {
  return "Run-time Error: No function named \"" + name + "\" exists.";
}

void Runtime::add(std::string name, int max_in, int max_out, CallableFn fn) {
  if (!table_.count(name)) order_.push_back(name);
  table_[name] = Callable{name, max_in, max_out, std::move(fn)};
}

const Callable* Runtime::find(const std::string& name) const {
  auto it = table_.find(name);
  return it == table_.end() ? nullptr : &it->second;
}

std::string call_depth_message(const std::string& name) {
  return "Calls by name nest more than " + std::to_string(kMaxCallDepth) + " deep; \"" + name +
         "\" was not run.";
}

Outputs Runtime::call(const std::string& name, const Args& in, int nout) const {
  const Callable* c = find(name);
  if (!c) throw Failure(unknown_function_message(name));
  check_arity(name, 1, name, c->max_in, c->max_out, static_cast<int>(in.size()), nout);
  if (depth_ >= kMaxCallDepth) throw Failure(call_depth_message(name));
  struct Level {
    int& depth;
    explicit Level(int& d) : depth(d) { ++depth; }
    ~Level() { --depth; }
  } level(depth_);
  return c->fn(in, nout);
}

}  // namespace qiv

#include "platform/text.h"

namespace qiv {

Matrix numeric_arg(const Args& in, std::size_t index, const std::string& function) {
  if (index >= in.size()) fail_not_enough_inputs();
  const Value& v = in[index];
  if (v.is_matrix()) return v.matrix();
  if (v.is_string()) {
    Matrix m = str2num(v.str());
    if (m.size() == 0 && !is_blank(v.str()))
      throw Failure(function + ": input " + std::to_string(index + 1) + " is not a number: \"" +
                    v.str() + "\".");
    return m;
  }
  throw Failure(function + ": input " + std::to_string(index + 1) + " must be numbers.");
}

std::string string_arg(const Args& in, std::size_t index, const std::string& function) {
  if (index >= in.size()) fail_not_enough_inputs();
  if (!in[index].is_string())
    throw Failure(function + ": input " + std::to_string(index + 1) + " must be a text.");
  return in[index].str();
}

}  // namespace qiv
