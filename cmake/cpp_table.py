"""Writing tables made at build time as C++ sources: arrays of bytes and
of 32-bit numbers, and the file written only when it changes (so that only
a changed table rebuilds what depends on it)."""


def char_array(name, data):
    """A const char array of data's bytes and a closing 0: bytes, not one
    long string literal, which compilers need not take at this length."""
    lines = ["const char %s[] = {" % name]
    for i in range(0, len(data), 24):
        lines.append("    " + ",".join(str(b if b < 128 else b - 256) for b in data[i:i + 24]) + ",")
    lines.append("    0};")
    return lines


def u32_array(name, values):
    lines = ["const std::uint32_t %s[] = {" % name]
    for i in range(0, len(values), 12):
        lines.append("    " + ",".join(str(v) for v in values[i:i + 12]) + ",")
    lines.append("};")
    return lines


def write_if_changed(output, lines):
    content = "\n".join(lines) + "\n"
    try:
        with open(output, encoding="ascii") as f:
            if f.read() == content:
                return
    except OSError:
        pass
    with open(output, "w", encoding="ascii") as f:
        f.write(content)
