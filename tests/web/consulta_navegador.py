#!/usr/bin/env python3
"""The on-line consultation in a real browser.

Publishes the demo site to a fresh database of the test PostgreSQL server with the real
kelvora-admin, starts the real kelvora-consulta on a free 127.0.0.1 port as the read-only
role, and drives Debian's chromium through chromedriver: a parent and a staff member log
in and see the right persons and movements, a wrong password is refused, five failures
lock the login, "Salir" ends the session. Screenshots at a desktop and a telephone width
go to the directory given with --capturas.

Run by CTest. Without chromium (or without the PostgreSQL server) the test is skipped with
the reason when run by hand, and fails when CI is set.
"""
import argparse
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


def give_up(reason):
    if os.environ.get("CI"):
        print("FALLA: " + reason, file=sys.stderr)
        sys.exit(1)
    print("OMITIDA: " + reason, file=sys.stderr)
    sys.exit(SKIP)


def psql(db, sql, *args):
    """One statement through psql with its values passed as psql variables (quoted by psql)."""
    cmd = ["psql", "-X", "-q", "-t", "-A", "-v", "ON_ERROR_STOP=1", "-d", db]
    for i, a in enumerate(args):
        cmd += ["-v", "p%d=%s" % (i + 1, a)]
    out = subprocess.run(cmd, input=sql, capture_output=True, text=True)
    if out.returncode != 0:
        raise RuntimeError("psql: " + out.stderr)
    return out.stdout.strip()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--admin", required=True)
    ap.add_argument("--consulta", required=True)
    ap.add_argument("--capturas", required=True)
    a = ap.parse_args()
    a.admin, a.consulta, a.capturas = (os.path.abspath(x) for x in (a.admin, a.consulta, a.capturas))

    chromium = shutil.which("chromium")
    driver_path = shutil.which("chromedriver")
    if not chromium or not driver_path:
        give_up("no está chromium con chromium-driver (apt-get install chromium chromium-driver python3-selenium)")
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        from selenium.webdriver.common.by import By
        from selenium.common.exceptions import StaleElementReferenceException, WebDriverException
        from selenium.webdriver.support.ui import WebDriverWait
    except ImportError:
        give_up("falta python3-selenium")
    if os.environ.get("PGHOST") != "127.0.0.1" or not os.environ.get("PGPORT"):
        give_up("no hay servidor PostgreSQL de pruebas (PGHOST=127.0.0.1 y PGPORT; vea scripts/test-postgres.sh)")

    os.makedirs(a.capturas, exist_ok=True)
    work = tempfile.mkdtemp(prefix="kv-consulta-web-")
    db = "kvweb_%d" % os.getpid()
    role = db + "_lee"
    role_pw = "clave-del-portal"
    year = datetime.date.today().year
    server = None
    browser = None
    psql("postgres", "create database %s" % db)
    try:
        # The desk's side: a demo site published by kelvora-admin, as a school would.
        with open(os.path.join(work, "pralune.ini"), "w") as f:
            f.write("[Internet]\nServidor=127.0.0.1\nPuerto=%s\nBaseDatos=%s\nUsuario=%s\nClave=%s\n"
                    % (os.environ["PGPORT"], db, os.environ.get("PGUSER", ""), os.environ.get("PGPASSWORD", "")))
        def admin(*args):
            r = subprocess.run([a.admin] + list(args), cwd=work, capture_output=True, text=True)
            if r.returncode != 0:
                raise RuntimeError("kelvora-admin %s: %s%s" % (" ".join(args), r.stdout, r.stderr))
            return r.stdout
        demo_out = admin("demo", "sitio")
        admin("remote-init", "--year", str(year), "--consulta-role", role, "--consulta-clave", role_pw)
        admin("publish", "sitio")
        dbs = db
        q = lambda sql, *p: psql(dbs, 'set search_path to "%d";\n' % year + sql, *p)
        site_name = q("select nombre from colegios")
        assert site_name == "Colegio Demo", site_name
        # A parent of the demo (the printed example) and the persons that are theirs.
        m = re.search(r"padre o madre: documento (\S+), clave (\S+)", demo_out)
        assert m, demo_out
        parent, parent_pw = m.group(1), m.group(2)
        children = q("select codigo || '|' || nestudiante from estudiantes where docacud=:'p1' order by nestudiante",
                     parent).splitlines()
        assert children, "the demo parent has no children"
        child_code, child_name = children[0].split("|", 1)
        stranger = q("select nestudiante from estudiantes where docacud<>:'p1' and docident<>:'p1' order by codigo limit 1",
                     parent)
        # Today the child came in at 7:02 (the demo's movements end yesterday).
        today = datetime.date.today()
        q("insert into entradassalidas (icolegio, codigo, fecha, hora, docident, tipodocident, nestudiante, tipomvt, detalle)"
          " select icolegio, codigo, :'p2'::date, '07:02:00', docident, 0, nestudiante, 'E', '' from estudiantes"
          " where codigo=:'p1'", child_code, today.isoformat())

        with open(os.path.join(work, "consulta.ini"), "w") as f:
            f.write("[Internet]\nServidor=127.0.0.1\nPuerto=%s\nBaseDatos=%s\nUsuario=%s\nClave=%s\nSSL=disable\n"
                    "[Consulta]\nSecreto=secreto-de-la-prueba\n" % (os.environ["PGPORT"], db, role, role_pw))
        env = {k: v for k, v in os.environ.items() if not k.startswith("PG")}
        server = subprocess.Popen([a.consulta, "--config", os.path.join(work, "consulta.ini"),
                                   "--listen", "127.0.0.1:0", "--anio", str(year)],
                                  cwd=work, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = server.stdout.readline()
        m = re.search(r"http://127\.0\.0\.1:(\d+)/", line)
        if not m:
            raise RuntimeError("kelvora-consulta did not start: %s %s" % (line, server.stderr.read()))
        base = "http://127.0.0.1:%s" % m.group(1)

        opts = webdriver.ChromeOptions()
        opts.binary_location = chromium
        for arg in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                    "--user-data-dir=" + os.path.join(work, "chromium"), "--lang=es"):
            opts.add_argument(arg)
        browser = webdriver.Chrome(service=Service(driver_path), options=opts)
        browser.set_window_size(1280, 900)
        b = browser

        def text():
            return b.find_element(By.TAG_NAME, "body").text

        def click(element):
            """Clicks and waits for the next page, so that no check reads the old one."""
            old = b.find_element(By.TAG_NAME, "html")
            element.click()

            def replaced(_):
                try:
                    old.is_enabled()
                    return False
                except StaleElementReferenceException:
                    return True
                except WebDriverException as e:
                    # Asked while the new page replaces it, Chromium may name the old node
                    # this way instead of calling it stale.
                    if "does not belong to the document" in str(e):
                        return True
                    raise

            WebDriverWait(b, 15).until(replaced)

        def login(doc, pw):
            b.get(base + "/")
            b.find_element(By.ID, "documento").clear()
            b.find_element(By.ID, "documento").send_keys(doc)
            b.find_element(By.ID, "clave").send_keys(pw)
            click(b.find_element(By.ID, "btnEntrar"))

        def shot(name, width, height):
            b.set_window_size(width, height)
            path = os.path.join(a.capturas, name)
            b.save_screenshot(path)
            print("captura:", path)

        # A parent: their children, today's state, the freshness line; nobody else.
        login(parent, parent_pw)
        t = text()
        assert "Colegio Demo" in t, t
        for c in children:
            assert c.split("|", 1)[1] in t, (c, t)
        assert stranger not in t, stranger
        assert "Dentro desde las 7:02 a. m." in t, t
        assert "Datos publicados hasta: %s 07:02" % today.strftime("%d/%m/%Y") in t, t
        shot("padre-escritorio.png", 1280, 900)
        shot("padre-telefono.png", 390, 844)
        b.set_window_size(1280, 900)
        # The child's movements of the last 30 days, with the door's detail texts.
        click(b.find_element(By.LINK_TEXT, "Ver movimientos"))
        t = text()
        assert child_name in t and "Entrada" in t and "Salida" in t and "Días con entrada" in t, t
        shot("movimientos-escritorio.png", 1280, 900)
        shot("movimientos-telefono.png", 390, 844)
        b.set_window_size(1280, 900)
        # Another family's child by address: not found, like a code that does not exist.
        other_code = q("select codigo from estudiantes where nestudiante=:'p1' limit 1", stranger)
        b.get(base + "/persona/" + other_code)
        assert "No encontrado" in text() and stranger not in text()
        b.get(base + "/")
        click(b.find_element(By.ID, "salir"))
        assert b.find_elements(By.ID, "btnEntrar"), "Salir did not end the session"
        b.get(base + "/persona/" + child_code)
        assert b.find_elements(By.ID, "btnEntrar") and child_name not in text()

        # Staff: every person, one day, who is inside.
        login("43876512", "43876512")
        assert "Personas" in text() and stranger in text() and child_name in text()
        b.find_element(By.ID, "q").send_keys(child_name.split()[0])
        click(b.find_element(By.CSS_SELECTOR, "form.buscar button"))
        assert child_name in text()
        click(b.find_element(By.LINK_TEXT, "Quién está dentro"))
        t = text()
        assert child_name in t and "Total 1" in t.replace("\n", " "), t
        shot("personal-dentro-escritorio.png", 1280, 900)
        b.set_window_size(1280, 900)
        click(b.find_element(By.LINK_TEXT, "Movimientos del día"))
        assert child_name in text()
        shot("personal-dia-telefono.png", 390, 844)
        b.set_window_size(1280, 900)
        b.get(base + "/")
        click(b.find_element(By.ID, "salir"))

        # A wrong password, then the lock after five failures.
        login(parent, "no-es-la-clave")
        assert "Documento o clave incorrectos." in text()
        for _ in range(4):
            login(parent, "no-es-la-clave")
        login(parent, parent_pw)
        assert "Demasiados intentos; espere unos minutos." in text(), text()
        shot("bloqueo-telefono.png", 390, 844)
        print("navegador: padre, personal, clave errada, bloqueo y salir comprobados")
        return 0
    finally:
        if browser:
            browser.quit()
        if server:
            server.terminate()
            try:
                server.wait(10)
            except subprocess.TimeoutExpired:
                server.kill()
        psql("postgres", "drop database if exists %s with (force)" % db)
        psql("postgres", "drop role if exists %s" % role)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
