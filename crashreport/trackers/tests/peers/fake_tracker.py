"""A fake bug tracker on loopback for the tracker conversation tests.

It serves the pages of one tracker (--tracker mantis, bugzilla or fogbugz) with the page names,
forms and markers the conversations rely on, keeps a cookie session that only a log-in with
--user and --password opens, and records every request as DIR/NNNN.txt: the first line
"METHOD page", then one line per field in the order received ("name=value", a file part as
"name=@filename:hexadecimal bytes"; backslash, CR and LF escaped as \\\\, \\r and \\n).

Scenarios: --project names the one project the tracker has; --title is the title of the one bug
it knows (none: no bug); --closed makes that bug closed (Mantis: with --closed-status);
--fail-search makes the search fail; --login-redirect makes the log-in answer with a redirect
(Mantis always does); --reset-filter-text and --subproject give Mantis' other page markers;
--event-link makes the FogBugz search link to the bug's event page; --basic-auth USER:PASS wants
that HTTP authorization on every request (and none without it).

It is strict about the wire: a query or form body must be encoded exactly as the reporter
encodes it (every byte but letters and digits as "%XX", names of form fields as they are), every
multipart part must carry exactly the reporter's part headers; a request that breaks a rule is
answered "400 Bad Request" and the rule is written to the standard error. Every field of the
pages that a conversation copies has a value, so that a field left out shows. Prints
"PORT <port>" once it listens.
"""
import argparse
import base64
import http.server
import itertools
import os
import sys
import urllib.parse

counter = itertools.count()
SESSION = "session=s3cr3t"


def escaped(value):
    return value.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")


class WireError(Exception):
    pass


def encoded(text, names=False):
    """The reporter's encoding of a value (of a form field's name: unchanged)."""
    if names:
        return text
    return "".join(c if c.isascii() and c.isalnum() else "%%%02X" % ord(c) for c in text)


def parse_strict(raw, plain_names):
    """Fields of a query or form body, which must be encoded exactly as the reporter does."""
    fields = urllib.parse.parse_qsl(raw, keep_blank_values=True, encoding="latin-1")
    again = "&".join(encoded(name, plain_names) + "=" + encoded(value) for name, value in fields)
    if raw and again != raw:
        raise WireError("encoding: got %r, the reporter encodes %r" % (raw, again))
    return fields


def parse_multipart(body, content_type):
    boundary = content_type.split("boundary=", 1)[1].encode("latin-1")
    fields = []
    for part in body.split(b"--" + boundary)[1:]:
        if part.startswith(b"--"):
            break
        head, _, content = part.partition(b"\r\n\r\n")
        content = content[:-2] if content.endswith(b"\r\n") else content
        disposition = head.decode("latin-1")
        name = disposition.split('name="', 1)[1].split('"', 1)[0]
        if 'filename="' in disposition:
            filename = disposition.split('filename="', 1)[1].split('"', 1)[0]
            wanted = ('\r\nContent-Disposition: form-data; name="%s"; filename="%s";\r\n'
                      'Content-Type: application/octet-stream' % (name, filename))
            fields.append((name, "@" + filename + ":" + content.hex()))
        else:
            wanted = '\r\nContent-Disposition: form-data; name="%s";' % name
            fields.append((name, content.decode("latin-1")))
        if disposition != wanted:
            raise WireError("part headers: got %r, want %r" % (disposition, wanted))
    return fields


def page(body):
    return "<html><body>" + body + "</body></html>"


def options(name, choices, selected=None):
    text = '<select name="%s">' % name
    for value, label in choices:
        mark = ' selected="selected"' if value == selected else ""
        text += '<option value="%s"%s>%s</option>' % (value, mark, label)
    return text + "</select>"


class Tracker(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        sys.stderr.write((args[0] % args[1:]) + "\n")

    def do_GET(self):
        self.handle_request("GET", [])

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length)
        content_type = self.headers.get("Content-Type", "")
        try:
            if content_type.startswith("multipart/form-data"):
                fields = parse_multipart(body, content_type)
            else:
                fields = parse_strict(body.decode("latin-1"), True)
        except WireError as error:
            self.refuse(str(error))
            return
        self.handle_request("POST", fields)

    def refuse(self, rule):
        sys.stderr.write("refused: " + rule + "\n")
        self.answer("refused: " + rule, "400 Bad Request")

    def handle_request(self, method, body_fields):
        path, _, query = self.path.partition("?")
        wanted = "Basic " + base64.b64encode(ARGS.basic_auth.encode()).decode() \
            if ARGS.basic_auth else None
        if self.headers.get("Authorization") != wanted:
            self.refuse("authorization: got %r, want %r"
                        % (self.headers.get("Authorization"), wanted))
            return
        try:
            query_fields = parse_strict(query, False)
        except WireError as error:
            self.refuse(str(error))
            return
        name = path.rsplit("/", 1)[-1]
        fields = query_fields + body_fields
        with open(os.path.join(ARGS.record, "%04d.txt" % next(counter)), "w",
                  encoding="latin-1", newline="") as out:
            out.write(method + " " + name + "\n")
            for field, value in fields:
                out.write(field + "=" + escaped(value) + "\n")
        self.fields = dict(fields)
        self.logged_in = SESSION in self.headers.get("Cookie", "")
        getattr(self, ARGS.tracker)(method, name)

    def answer(self, body="", status="200 OK", headers=()):
        data = body.encode("latin-1")
        code, _, text = status.partition(" ")
        self.send_response(int(code), text)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(data)))
        for header in headers:
            self.send_header(*header.split(": ", 1))
        self.end_headers()
        self.wfile.write(data)

    def redirect(self, location, headers=()):
        self.answer("", "302 Found", ["Location: " + location] + list(headers))

    def wants_bug(self):
        return ARGS.title is not None and self.fields.get(self.search_field, "") in ARGS.title

    # Mantis ------------------------------------------------------------------------------------
    def mantis(self, method, name):
        self.search_field = "search"
        if name == "login.php":
            if self.fields.get("username") == ARGS.user and \
                    self.fields.get("password") == ARGS.password:
                self.redirect(self.fields.get("return", "my_view_page.php"),
                              ["Set-Cookie: " + SESSION + "; path=/"])
            else:
                self.redirect("login_page.php?error=1")
        elif not self.logged_in:
            self.answer(page('<form action="login.php"><input type="text" name="username">'
                             '</form>'))
        elif name == "login_select_proj_page.php":
            self.answer(page('<form method="post" action="set_project.php">' +
                             options("project_id", self.mantis_projects(), "0") + "</form>"))
        elif name == "set_project.php":
            self.redirect("my_view_page.php")
        elif name == "my_view_page.php":
            projects = self.mantis_projects()
            if ARGS.subproject:
                projects[1] = ("7", "&raquo; " + ARGS.project)
            self.answer(page(options("project_id", projects, "7")))
        elif name == "view_all_set.php":
            if ARGS.fail_search:
                self.answer(page("<p>APPLICATION ERROR #1100</p>"))
            else:
                self.redirect("view_all_bug_page.php?found=%d" % self.wants_bug())
        elif name == "view_all_bug_page.php":
            found = self.fields.get("found") == "1"
            marker = ('<a href="view_all_set.php?type=0">[Reset Filter]</a>'
                      if ARGS.reset_filter_text else
                      '<input type="submit" name="reset_query_button" value="Reset">')
            self.answer(page(marker +
                             ('<a href="bug_update_page.php?bug_id=42">42</a>' if found else "")))
        elif name == "bug_report_advanced_page.php":
            self.answer(page(
                '<form method="post" enctype="multipart/form-data" action="bug_report.php">'
                '<input type="hidden" name="m_id" value="0"/>'
                '<input type="hidden" name="project_id" value="7"/>' +
                options("handler_id", [("0", ""), ("3", "ana"), ("5", "bruno")]) +
                options("category", [("1", "General"), ("2", "Crashes")]) +
                options("severity", [("10", "feature"), ("50", "minor"), ("70", "crash")], "50") +
                options("priority", [("20", "low"), ("30", "normal")], "30") +
                '<input type="text" name="platform" value="">'
                '<input type="text" name="platform" value="x86-64">'
                '<input type="text" name="os" value="Debian">'
                '<input type="text" name="os_build" value="12">'
                '<input type="text" name="build" value="2.1.0">'
                '<input type="checkbox" name="report_stay" value="1">'
                '<input name="file" type="file" size="60"></form>'))
        elif name == "bug_report.php":
            self.answer(page('<a href="view.php?id=43">View Submitted Bug</a>'))
        elif name == "bug_update_page.php":
            status = ARGS.closed_status if ARGS.closed else "50"
            self.answer(page(
                '<form method="post" action="bug_update.php">'
                '<input type="hidden" name="bug_id" value="42">'
                '<input type="hidden" name="update_mode" value="1">' +
                options("category", [("1", "General"), ("2", "Crashes")], "2") +
                options("severity", [("50", "minor"), ("70", "crash")], "70") +
                options("reproducibility", [("10", "always"), ("70", "have not tried")], "10") +
                options("reporter_id", [("3", "ana"), ("5", "bruno")], "3") +
                options("view_state", [("10", "public"), ("50", "private")], "10") +
                options("handler_id", [("0", ""), ("5", "bruno")], "5") +
                options("priority", [("30", "normal"), ("40", "high")], "40") +
                options("status", [("10", "new"), ("50", "assigned"), ("80", "resolved"),
                                   ("90", "closed")], status) +
                options("resolution", [("10", "open"), ("20", "fixed")], "10") +
                '<input type="text" name="summary" value="%s">' % ARGS.title +
                '<textarea name="description" cols="80">Access violation &amp; crash&#33;'
                '</textarea><textarea name="additional_information">Seen at start-up.</textarea>'
                '<textarea name="bugnote_text"></textarea></form>'))
        elif name == "bug_update.php":
            self.answer(page('<a href="view.php?id=42">View</a>'))
        else:
            self.answer("missing", "404 Not Found")

    def mantis_projects(self):
        return [("0", "All Projects"), ("7", ARGS.project), ("9", "&raquo; Web")]

    # Bugzilla ----------------------------------------------------------------------------------
    def bugzilla(self, method, name):
        self.search_field = "content"
        if name == "enter_bug.cgi" and method == "POST":
            if self.fields.get("Bugzilla_login") == ARGS.user and \
                    self.fields.get("Bugzilla_password") == ARGS.password:
                cookie = "Set-Cookie: " + SESSION + "; path=/"
                if ARGS.login_redirect:
                    self.answer("wait", headers=[cookie, "Refresh: 0; URL=enter_bug.cgi"])
                else:
                    self.answer(page('<a href="relogin.cgi">Log out</a>'), headers=[cookie])
            else:
                self.answer(page('<form><input name="Bugzilla_login"></form>'))
        elif not self.logged_in:
            self.answer(page('<form><input name="Bugzilla_login"></form>'))
        elif name == "enter_bug.cgi" and "product" not in self.fields:
            self.answer(page('<a href="relogin.cgi">Log out</a>'))
        elif name == "buglist.cgi":
            if ARGS.fail_search:
                self.answer(page("<p>The product name is invalid.</p>"))
            else:
                found = self.wants_bug()
                self.answer(page('<a href="query.cgi?format=specific">Edit Search</a>' +
                                 ('<a href="show_bug.cgi?id=42">42</a>' if found else "")))
        elif name == "enter_bug.cgi":
            if self.fields["product"] != ARGS.project:
                self.answer(page("<h1>Select a product</h1>"))
                return
            self.answer(page(
                '<form method="post" action="post_bug.cgi">'
                '<input type="hidden" name="product" value="%s">' % ARGS.project +
                options("version", [("1.0", "1.0"), ("2.0", "2.0")], "2.0") +
                options("component", [("Core", "Core")]) +
                options("rep_platform", [("PC", "PC"), ("All", "All")], "PC") +
                options("op_sys", [("Linux", "Linux")], "Linux") +
                options("priority", [("P1", "P1"), ("P3", "P3")], "P3") +
                options("bug_severity", [("normal", "normal"), ("critical", "critical")],
                        "normal") +
                options("target_milestone", [("---", "---")], "---") +
                '<input type="hidden" name="bug_status" value="NEW">'
                '<input name="qa_contact" value="">'
                '<input name="qa_contact" value="qa@example.com">'
                '<input name="cc" value="cc@example.com">'
                '<input name="estimated_time" value="0.0">'
                '<input name="deadline" value="2024-02-29">'
                '<input name="bug_file_loc" value="http://">'
                '<input name="keywords" value="crash"><input name="dependson" value="7">'
                '<input name="blocked" value="9"></form>'))
        elif name == "post_bug.cgi":
            self.answer(page('<input type="hidden" name="id" value="43">'
                             '<a href="show_bug.cgi?id=43">Bug 43</a>'))
        elif name == "attachment.cgi":
            self.answer(page('<a href="attachment.cgi?id=5">Attachment 5</a>'))
        elif name == "show_bug.cgi":
            self.answer(page(
                '<form method="post" action="process_bug.cgi">'
                '<input type="hidden" name="delta_ts" value="2024-01-31 23:59:59">'
                '<input type="hidden" name="longdesclength" value="2">'
                '<input type="hidden" name="id" value="42">'
                '<input name="alias" value="crash-42">'
                '<input name="short_desc" value="%s">' % ARGS.title +
                options("product", [(ARGS.project, ARGS.project)], ARGS.project) +
                options("component", [("Core", "Core")], "Core") +
                options("rep_platform", [("PC", "PC")], "PC") +
                options("op_sys", [("Linux", "Linux")], "Linux") +
                options("version", [("1.0", "1.0"), ("2.0", "2.0")], "1.0") +
                options("priority", [("P1", "P1")], "P1") +
                options("bug_severity", [("critical", "critical")], "critical") +
                options("target_milestone", [("---", "---")], "---") +
                '<input name="newcc" value="new@example.com">'
                '<input name="cc" value="ana@example.com">'
                '<input name="qa_contact" value="qa@example.com">'
                '<input name="bug_file_loc" value="http://example.com/42">'
                '<input name="status_whiteboard" value="watch">'
                '<input name="keywords" value="crash">'
                '<input name="requestee_type-6" value="ana">'
                '<input name="dependson" value="7"><input name="blocked" value="9">'
                '<textarea name="comment" rows="10"></textarea>' +
                ('<input type="radio" name="knob" value="reopen">' if ARGS.closed else "") +
                options("resolution", [("FIXED", "FIXED")]) +
                '<input name="dup_id" value="11">'
                '<input name="assigned_to" value="bruno@example.com">'
                '<input type="hidden" name="form_name" value="process_bug"></form>'))
        elif name == "process_bug.cgi":
            self.answer(page('<a href="show_bug.cgi?id=42">Back to bug 42</a>'))
        else:
            self.answer("missing", "404 Not Found")

    # FogBugz -----------------------------------------------------------------------------------
    def fogbugz(self, method, name):
        self.search_field = "searchFor"
        pre = self.fields.get("pre")
        if name != "default.asp":
            self.answer("missing", "404 Not Found")
        elif pre == "preLogon":
            if self.fields.get("sPerson") == ARGS.user and \
                    self.fields.get("sPassword") == ARGS.password:
                cookie = "Set-Cookie: " + SESSION + "; path=/"
                if ARGS.login_redirect:
                    self.redirect("default.asp?pg=pgList", [cookie])
                else:
                    self.answer(page('<a href="default.asp?pre=preLogOff">Log Off</a>'),
                                headers=[cookie])
            else:
                self.answer(page('<form><input name="sPerson"></form>'))
        elif not self.logged_in:
            self.answer(page('<form><input name="sPerson"></form>'))
        elif pre == "preSearch":
            if ARGS.fail_search:
                self.answer(page("<p>Search failed.</p>"))
            else:
                found = self.wants_bug()
                self.answer(page(
                    '<a href="default.asp?pg=pgList&amp;searchFor=x">Again</a>' +
                    (self.fogbugz_bug_link() if found else "")))
        elif pre == "preSubmitBug":
            if self.fields.get("ixBug", "0") == "0" and self.fields.get("ixProject") != "7":
                self.answer(page("<p>Choose a project.</p>"))
            else:
                self.answer(page('<a href="default.asp?command=resolve&amp;ixBug=43">Resolve</a>'))
        elif self.fields.get("command") == "new":
            self.answer(page(self.fogbugz_form("new", "0", "", ["0", "1"])))
        elif self.fields.get("command") == "edit":
            self.answer(page(
                self.fogbugz_form("edit", "42", ARGS.title, ["7", "3"]) +
                ('<a href="default.asp?pg=pgEditReleaseNotes&amp;ixBug=42">Notes</a>'
                 if ARGS.closed else "")))
        elif self.fields.get("pg") == "pgList":
            self.answer(page('<a href="default.asp?pre=preLogOff">Log Off</a>'))
        else:
            self.answer("missing", "404 Not Found")

    def fogbugz_bug_link(self):
        if ARGS.event_link:
            return '<a href="default.asp?pgx=EV&amp;ixBug=42">42</a>'
        return '<a href="default.asp?pg=pgEditBug&amp;command=view&amp;ixBug=42">42</a>'

    def fogbugz_form(self, command, bug, title, chosen):
        return (
            '<form method="post" enctype="multipart/form-data">'
            '<input type="hidden" name="command" value="%s">' % command +
            '<input type="hidden" name="dtTimeStamp" value="1/31/2024 11:59:59 PM">'
            '<input type="hidden" name="ixBug" value="%s">' % bug +
            '<input type="hidden" name="ixBugEventLatest" value="17">'
            '<input type="hidden" name="ixPersonLastOwner" value="2">'
            '<input type="hidden" name="ixDiscussTopic" value="0">'
            '<input type="hidden" name="ixScreenshot" value="5">'
            '<input type="hidden" name="sOriginalTitle" value="%s">' % title +
            '<input type="text" name="sTitle" value="%s">' % title +
            '<input type="hidden" name="sEvent" value="%s">' % ("Seen again." if title else "") +
            options("ixProject", [("0", "(choose)"), ("7", ARGS.project)], chosen[0]) +
            options("ixArea", [("1", "Misc"), ("3", ARGS.project + ": Crashes")], chosen[1]) +
            options("ixPersonAssignedTo", [("1", "Administrator"), ("2", "Bruno")], "1") +
            options("ixCategory", [("1", "Bug"), ("2", "Feature")], "1") +
            options("ixFixFor", [("1", "Undecided")], "1") +
            options("ixPriority", [("1", "Must Fix"), ("3", "Should Fix")], "3") +
            '<input name="sDueDate" value="2/29/2024"><input name="sDueTime" value="5:00 PM">'
            '<input name="hrsCurrEstNew" value="2"><input name="hrsElapsedNew" value="1">'
            '<input type="submit" name="OK" value="OK"></form>')


parser = argparse.ArgumentParser()
parser.add_argument("--record", required=True)
parser.add_argument("--tracker", required=True, choices=["mantis", "bugzilla", "fogbugz"])
parser.add_argument("--user", default="ana")
parser.add_argument("--password", default="segredo")
parser.add_argument("--project", default="Pharmacy")
parser.add_argument("--title")
parser.add_argument("--closed", action="store_true")
parser.add_argument("--fail-search", action="store_true")
parser.add_argument("--login-redirect", action="store_true")
parser.add_argument("--closed-status", default="80")
parser.add_argument("--reset-filter-text", action="store_true")
parser.add_argument("--subproject", action="store_true")
parser.add_argument("--event-link", action="store_true")
parser.add_argument("--basic-auth", default="")
ARGS = parser.parse_args()

server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Tracker)
print("PORT %d" % server.server_address[1], flush=True)
server.serve_forever()
