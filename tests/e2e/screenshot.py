# The screenshot the end-to-end test takes (binary PPM from ImageMagick's import): its pixels by position.
def load(path):
    data = open(path, 'rb').read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos+1].isspace(): pos += 1
        start = pos
        while not data[pos:pos+1].isspace(): pos += 1
        fields.append(data[start:pos])
    width, pos = int(fields[1]), pos + 1
    def pixel(x, y):
        o = pos + 3 * (y * width + x)
        return tuple(data[o:o+3])
    return pixel
