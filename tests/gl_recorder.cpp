#include "tests/gl_recorder.h"

#include <GL/glut.h>

#include <cstddef>
#include <cstring>
#include <initializer_list>

// --- Client arrays: what is enabled and where each array lies -------------------
struct ClientArray {
    bool enabled = false;
    int size = 0;           // components per element
    const GLfloat *data = nullptr;
};
static ClientArray vertexArray, colorArray, normalArray, texCoordArray;

std::vector<GlCall> glCalls;
int recordedViewport[4] = {0, 0, 300, 300};
double recordedProjection[16];
double recordedModelview[16];
std::vector<unsigned char> lastTexImage;

static void identity(double m[16])
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

void resetGlRecorder()
{
    glCalls.clear();
    vertexArray = colorArray = normalArray = texCoordArray = ClientArray{};
    lastTexImage.clear();
    const int viewport[4] = {0, 0, 300, 300};
    std::memcpy(recordedViewport, viewport, sizeof viewport);
    identity(recordedProjection);
    identity(recordedModelview);
}

std::vector<GlCall> callsNamed(const std::string &name)
{
    std::vector<GlCall> out;
    for (const GlCall &c : glCalls)
        if (c.name == name)
            out.push_back(c);
    return out;
}

int countCalls(const std::string &name)
{
    int n = 0;
    for (const GlCall &c : glCalls)
        n += (c.name == name);
    return n;
}

std::string callNames()
{
    std::string s;
    for (const GlCall &c : glCalls) {
        if (!s.empty())
            s += ' ';
        s += c.name;
    }
    return s;
}

static void record(const char *name, std::initializer_list<double> args = {})
{
    glCalls.push_back(GlCall{name, std::vector<double>(args)});
}

std::vector<DrawnVertex> drawnVertices()
{
    std::vector<DrawnVertex> out;
    DrawnVertex current{0, {0, 0, 0}, {1, 1, 1, 1}, {0, 0, 1}, {0, 0}};
    for (const GlCall &c : glCalls) {
        const std::vector<double> &a = c.args;
        if (c.name == "glBegin")
            current.mode = a[0];
        else if (c.name == "glColor4f" || c.name == "glColor3f")
            for (int k = 0; k < 4; ++k)
                current.color[k] = k < static_cast<int>(a.size()) ? a[k] : 1.0;
        else if (c.name == "glNormal3f")
            for (int k = 0; k < 3; ++k)
                current.normal[k] = a[k];
        else if (c.name == "glTexCoord2f")
            for (int k = 0; k < 2; ++k)
                current.texCoord[k] = a[k];
        else if (c.name == "glVertex3f") {
            for (int k = 0; k < 3; ++k)
                current.pos[k] = a[k];
            out.push_back(current);
        }
    }
    return out;
}

static ClientArray *clientArray(GLenum cap)
{
    switch (cap) {
    case GL_VERTEX_ARRAY: return &vertexArray;
    case GL_COLOR_ARRAY: return &colorArray;
    case GL_NORMAL_ARRAY: return &normalArray;
    case GL_TEXTURE_COORD_ARRAY: return &texCoordArray;
    default: return nullptr;
    }
}

// Only tightly packed float arrays are recorded; anything else is a fault of the caller.
static const GLfloat *floatArray(GLenum type, GLsizei stride, const GLvoid *pointer)
{
    if (type != GL_FLOAT || stride != 0) {
        record("unsupported array layout", {double(type), double(stride)});
        return nullptr;
    }
    return static_cast<const GLfloat *>(pointer);
}

// Element i of every enabled array, as the immediate-mode calls that give it.
static void recordArrayElement(GLint i)
{
    if (colorArray.enabled) {
        const GLfloat *c = colorArray.data + static_cast<std::ptrdiff_t>(i) * colorArray.size;
        if (colorArray.size == 4)
            record("glColor4f", {c[0], c[1], c[2], c[3]});
        else
            record("glColor3f", {c[0], c[1], c[2]});
    }
    if (normalArray.enabled) {
        const GLfloat *n = normalArray.data + static_cast<std::ptrdiff_t>(i) * 3;
        record("glNormal3f", {n[0], n[1], n[2]});
    }
    if (texCoordArray.enabled) {
        const GLfloat *t = texCoordArray.data + static_cast<std::ptrdiff_t>(i) * texCoordArray.size;
        record("glTexCoord2f", {t[0], t[1]});
    }
    if (vertexArray.enabled) {
        const GLfloat *v = vertexArray.data + static_cast<std::ptrdiff_t>(i) * vertexArray.size;
        record("glVertex3f", {v[0], v[1], v[2]});
    }
}

void glEnableClientState(GLenum cap)
{
    record("glEnableClientState", {double(cap)});
    if (ClientArray *a = clientArray(cap))
        a->enabled = true;
}
void glDisableClientState(GLenum cap)
{
    record("glDisableClientState", {double(cap)});
    if (ClientArray *a = clientArray(cap))
        a->enabled = false;
}
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer)
{
    vertexArray.size = size;
    vertexArray.data = floatArray(type, stride, pointer);
}
void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer)
{
    colorArray.size = size;
    colorArray.data = floatArray(type, stride, pointer);
}
void glNormalPointer(GLenum type, GLsizei stride, const GLvoid *pointer)
{
    normalArray.size = 3;
    normalArray.data = floatArray(type, stride, pointer);
}
void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid *pointer)
{
    texCoordArray.size = size;
    texCoordArray.data = floatArray(type, stride, pointer);
}
void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    record("glBegin", {double(mode)});
    for (GLint i = first; i < first + count; ++i)
        recordArrayElement(i);
    record("glEnd");
}
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid *indices)
{
    record("glBegin", {double(mode)});
    for (GLsizei n = 0; n < count; ++n) {
        if (type == GL_UNSIGNED_SHORT)
            recordArrayElement(static_cast<const GLushort *>(indices)[n]);
        else if (type == GL_UNSIGNED_INT)
            recordArrayElement(static_cast<GLint>(static_cast<const GLuint *>(indices)[n]));
        else
            record("unsupported index type", {double(type)});
    }
    record("glEnd");
}

// --- GL ------------------------------------------------------------------------
void glBegin(GLenum mode) { record("glBegin", {double(mode)}); }
void glEnd() { record("glEnd"); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex3f", {x, y, z}); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", {r, g, b}); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { record("glColor4f", {r, g, b, a}); }
void glTexCoord2f(GLfloat s, GLfloat t) { record("glTexCoord2f", {s, t}); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { record("glNormal3f", {x, y, z}); }
void glEnable(GLenum cap) { record("glEnable", {double(cap)}); }
void glDisable(GLenum cap) { record("glDisable", {double(cap)}); }
void glBlendFunc(GLenum s, GLenum d) { record("glBlendFunc", {double(s), double(d)}); }
void glClear(GLbitfield mask) { record("glClear", {double(mask)}); }
void glLoadIdentity() { record("glLoadIdentity"); }
void glMatrixMode(GLenum mode) { record("glMatrixMode", {double(mode)}); }
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    record("glOrtho", {l, r, b, t, n, f});
}
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { record("glViewport", {double(x), double(y), double(w), double(h)}); }
void glPolygonMode(GLenum face, GLenum mode) { record("glPolygonMode", {double(face), double(mode)}); }
void glShadeModel(GLenum mode) { record("glShadeModel", {double(mode)}); }
void glPushMatrix() { record("glPushMatrix"); }
void glPopMatrix() { record("glPopMatrix"); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", {x, y, z}); }
void glBindTexture(GLenum target, GLuint name) { record("glBindTexture", {double(target), double(name)}); }
void glGenTextures(GLsizei n, GLuint *names)
{
    record("glGenTextures", {double(n)});
    for (GLsizei i = 0; i < n; ++i)
        names[i] = static_cast<GLuint>(i + 1);
}
void glTexParameteri(GLenum target, GLenum pname, GLint param)
{
    record("glTexParameteri", {double(target), double(pname), double(param)});
}
void glPixelStorei(GLenum pname, GLint param) { record("glPixelStorei", {double(pname), double(param)}); }
void glTexEnvi(GLenum target, GLenum pname, GLint param) { record("glTexEnvi", {double(target), double(pname), double(param)}); }
void glTexEnvf(GLenum target, GLenum pname, GLfloat param) { record("glTexEnvf", {double(target), double(pname), param}); }
void glTexGeni(GLenum coord, GLenum pname, GLint param) { record("glTexGeni", {double(coord), double(pname), double(param)}); }
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid *pixels)
{
    record("glTexImage2D", {double(target), double(level), double(internalFormat), double(width), double(height),
                            double(border), double(format), double(type)});
    const int channels = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 1;
    const auto *bytes = static_cast<const unsigned char *>(pixels);
    lastTexImage.assign(bytes, bytes + static_cast<size_t>(width) * height * channels);
}
void glLightf(GLenum light, GLenum pname, GLfloat param) { record("glLightf", {double(light), double(pname), param}); }
void glLightfv(GLenum light, GLenum pname, const GLfloat *params)
{
    record("glLightfv", {double(light), double(pname), params[0], params[1], params[2]});
}
void glGetIntegerv(GLenum pname, GLint *params)
{
    record("glGetIntegerv", {double(pname)});
    if (pname == GL_VIEWPORT)
        std::memcpy(params, recordedViewport, sizeof recordedViewport);
}
void glGetDoublev(GLenum pname, GLdouble *params)
{
    record("glGetDoublev", {double(pname)});
    if (pname == GL_PROJECTION_MATRIX)
        std::memcpy(params, recordedProjection, sizeof recordedProjection);
    else if (pname == GL_MODELVIEW_MATRIX)
        std::memcpy(params, recordedModelview, sizeof recordedModelview);
}

// --- GLU -----------------------------------------------------------------------
void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz, GLdouble ux, GLdouble uy,
               GLdouble uz)
{
    record("gluLookAt", {ex, ey, ez, cx, cy, cz, ux, uy, uz});
}
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    record("gluPerspective", {fovy, aspect, zNear, zFar});
}

// --- GLUT ----------------------------------------------------------------------
void glutSolidSphere(double radius, GLint slices, GLint stacks)
{
    record("glutSolidSphere", {radius, double(slices), double(stacks)});
}
void glutSwapBuffers() { record("glutSwapBuffers"); }
void glutPostRedisplay() { record("glutPostRedisplay"); }
