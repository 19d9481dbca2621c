// Builds stored window descriptions by hand, byte by byte, from the layout documented in
// forms/form_loader.h, so that the loader's tests do not depend on the build's converter.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kq::test {

class DescriptionWriter {
public:
    // Opens a component record inside the one open (the first is the form).
    DescriptionWriter& Begin(std::string_view cls, std::string_view name) {
        stack_.push_back(Node{std::string(cls), std::string(name), {}, {}});
        return *this;
    }
    DescriptionWriter& End() {
        Node node = std::move(stack_.back());
        stack_.pop_back();
        if (stack_.empty()) {
            root_ = Serialize(node);
        } else {
            stack_.back().children.push_back(Serialize(node));
        }
        return *this;
    }

    DescriptionWriter& Int(std::string_view path, std::int32_t value) {
        return Add(path, 1, Le(static_cast<std::uint32_t>(value), 4));
    }
    DescriptionWriter& Str(std::string_view path, std::string_view text) {
        return Add(path, 2, Long(text));
    }
    DescriptionWriter& Ident(std::string_view path, std::string_view name) {
        return Add(path, 3, Name8(name));
    }
    DescriptionWriter& Set(std::string_view path, std::initializer_list<std::string_view> names) {
        std::string body(1, static_cast<char>(names.size()));
        for (std::string_view n : names) {
            body += Name8(n);
        }
        return Add(path, 4, body);
    }
    DescriptionWriter& List(std::string_view path, std::initializer_list<std::string_view> items) {
        std::string body = Le(static_cast<std::uint32_t>(items.size()), 4);
        for (std::string_view item : items) {
            body += Long(item);
        }
        return Add(path, 5, body);
    }
    DescriptionWriter& Binary(std::string_view path, std::string_view bytes) {
        return Add(path, 6, Long(bytes));
    }
    // A value with any tag and body, for malformed descriptions.
    DescriptionWriter& Raw(std::string_view path, std::uint8_t tag, std::string_view body) {
        return Add(path, tag, std::string(body));
    }

    // The whole description: signature, version 1, the form's record.
    std::string Bytes() const { return "KQWD\x01" + root_; }
    // Only the form's record.
    const std::string& Record() const { return root_; }

    static std::string Le(std::uint32_t value, int size) {
        std::string bytes;
        for (int i = 0; i < size; ++i) {
            bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
        return bytes;
    }
    static std::string Name8(std::string_view name) {
        return static_cast<char>(name.size()) + std::string(name);
    }
    static std::string Long(std::string_view text) {
        return Le(static_cast<std::uint32_t>(text.size()), 4) + std::string(text);
    }

private:
    struct Node {
        std::string cls;
        std::string name;
        std::vector<std::string> properties;
        std::vector<std::string> children;
    };

    DescriptionWriter& Add(std::string_view path, std::uint8_t tag, const std::string& body) {
        stack_.back().properties.push_back(Name8(path) + static_cast<char>(tag) + body);
        return *this;
    }

    static std::string Serialize(const Node& node) {
        std::string out = Name8(node.cls) + Name8(node.name);
        out += Le(static_cast<std::uint32_t>(node.properties.size()), 2);
        for (const std::string& p : node.properties) {
            out += p;
        }
        out += Le(static_cast<std::uint32_t>(node.children.size()), 2);
        for (const std::string& c : node.children) {
            out += c;
        }
        return out;
    }

    std::vector<Node> stack_;
    std::string root_;
};

} // namespace kq::test
